// swf-trace MOVIE.swf FRAMES [--codepage N]
// Runs FRAMES frames of the movie without a window and prints what its
// trace() calls print, one line each, in UTF-8. With SWF_FIXED_CLOCK=1 in
// the environment the movie sees the reference suite's fixed clock
// (2001-02-03 04:05:06 at UTC+5:45, one frame's time per frame); otherwise
// the computer's. --codepage names the code page of SWF 5 text (default:
// the system's; the reference suite's movies were made with 1252). When a
// limit stopped the movie's scripts, why is written to stderr.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "player/avm1/machine.h"
#include "movie_file.h"
#include "player/core/player.h"
#include "player/text/freetype_fonts.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: swf-trace MOVIE.swf FRAMES [--codepage N]\n");
    return 2;
  }
  int frames = std::atoi(argv[2]);
  player::PlayerServices options;
  for (int i = 3; i + 1 < argc; ++i)
    if (!std::strcmp(argv[i], "--codepage")) options.codePage = static_cast<unsigned>(std::atoi(argv[++i]));
  const char* fixed = std::getenv("SWF_FIXED_CLOCK");
  if (fixed && !std::strcmp(fixed, "1")) options.clock = player::fixedClock();
  // Scripts that measure text get the installed fonts, as swf-render draws with.
  std::unique_ptr<text::DeviceFonts> fonts = text::makeFreeTypeFonts(text::installedChineseFonts());
  options.deviceFonts = fonts.get();
  options.trace = [](const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  };
  std::vector<uint8_t> bytes;
  if (!readMovieFile(argv[1], &bytes)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  auto player = player::Player::load(bytes.data(), bytes.size(), std::move(options));
  if (!player) {
    std::fprintf(stderr, "%s is not a movie this player can load\n", argv[1]);
    return 1;
  }
  for (int i = 0; i < frames; ++i) player->advanceFrame();
  if (avm1::Machine* machine = player->stage().machine())
    if (machine->stopReason()) std::fprintf(stderr, "scripts stopped: %s\n", machine->stopReason());
  return 0;
}
