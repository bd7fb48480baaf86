// swf-media-movies DIR: writes the movies the player window's media tests
// play under Wine (button.swf, chinese.swf, clock.swf, input.swf, sound.swf)
// and the tone those tests decode (tone.mp3, tone.pcm: the samples it was made from).
#include <cstdio>
#include <string>

#include "media_movies.h"

namespace {

bool save(const std::string& path, const swftest::Bytes& b) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: swf-media-movies DIR\n");
    return 2;
  }
  std::string dir = argv[1];
  std::vector<int16_t> tone = swftest::testTone();
  bool ok = save(dir + "/button.swf", swftest::buttonClickMovie()) &&
            save(dir + "/chinese.swf", swftest::chineseTextPage()) &&
            save(dir + "/clock.swf", swftest::digitalClock()) &&
            save(dir + "/input.swf", swftest::inputFieldMovie()) &&
            save(dir + "/sound.swf", swftest::loopingMp3Movie()) &&
            save(dir + "/tone.mp3", swftest::encodeMp3(tone, 44100, 1)) &&
            save(dir + "/tone.pcm", swftest::pcm16(tone));
  if (!ok) std::fprintf(stderr, "cannot write the movies to %s\n", dir.c_str());
  return ok ? 0 : 1;
}
