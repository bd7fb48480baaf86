// swf-render MOVIE.swf FRAMES OUT.png [--low] [--size WxH] [--font FILE]...
// Runs FRAMES frames of the movie (timeline and frame scripts as the player
// does) and writes the stage as a PNG, at the stage size with the movie's
// background unless --size is given. --low draws without smoothing. Device
// text is drawn with the installed Chinese fonts, after any --font files.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "movie_file.h"
#include "player/core/player.h"
#include "player/text/freetype_fonts.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: swf-render MOVIE.swf FRAMES OUT.png [--low] [--size WxH]\n");
    return 2;
  }
  int frames = std::atoi(argv[2]);
  bool low = false;
  int width = 0, height = 0;
  std::vector<std::string> fontFiles;
  for (int i = 4; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--low")) {
      low = true;
    } else if (!std::strcmp(argv[i], "--font") && i + 1 < argc) {
      fontFiles.push_back(argv[++i]);
    } else if (!std::strcmp(argv[i], "--size") && i + 1 < argc) {
      if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2) width = height = 0;
    }
  }
  std::vector<uint8_t> bytes;
  if (!readMovieFile(argv[1], &bytes)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  for (const std::string& path : text::installedChineseFonts()) fontFiles.push_back(path);
  std::unique_ptr<text::DeviceFonts> fonts = text::makeFreeTypeFonts(fontFiles);
  player::PlayerServices services;
  services.deviceFonts = fonts.get();
  auto player = player::Player::load(bytes.data(), bytes.size(), services);
  if (!player) {
    std::fprintf(stderr, "%s is not a movie this player can load\n", argv[1]);
    return 1;
  }
  if (width <= 0 || height <= 0) {
    width = player->stageWidth();
    height = player->stageHeight();
  }
  player->setAntialias(!low);
  for (int i = 0; i < frames; ++i) player->advanceFrame();
  std::vector<uint32_t> pixels(size_t(width) * height);
  player->render(pixels.data(), width, height, width * 4, true);
  // Premultiplied B, G, R, A to straight R, G, B, A.
  std::vector<uint8_t> rgba(pixels.size() * 4);
  for (size_t i = 0; i < pixels.size(); ++i) {
    uint32_t p = pixels[i];
    uint32_t a = p >> 24;
    auto un = [a](uint32_t c) { return static_cast<uint8_t>(a ? (c * 255 + a / 2) / a : 0); };
    rgba[i * 4 + 0] = un((p >> 16) & 0xFF);
    rgba[i * 4 + 1] = un((p >> 8) & 0xFF);
    rgba[i * 4 + 2] = un(p & 0xFF);
    rgba[i * 4 + 3] = static_cast<uint8_t>(a);
  }
  if (!stbi_write_png(argv[3], width, height, 4, rgba.data(), width * 4)) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 1;
  }
  std::printf("%s: %dx%d, %d of %d frames, %.2f fps\n", argv[3], width, height,
              player->currentFrame(), player->frameCount(), player->frameRate());
  return 0;
}
