// The player library's Windows parts, one at a time, under Wine:
//   player_media_test DIR
// DIR holds what swf-media-movies writes. Checks the audio compression
// manager's MP3 codec against the tone it was made from, GDI's Chinese
// glyph outlines and a page of device text drawn with them, the mixer fed
// by a movie's MP3 sound, and wave output (played, or refused without a
// sound device). Prints one line per check and "N passed, M failed".
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "player/core/player.h"
#include "player/dll/acm_mp3.h"
#include "player/dll/gdi_fonts.h"
#include "player/dll/wave_output.h"
#include "player/sound/mixer.h"
#include "runtime/files.h"

namespace {

int passed = 0, failed = 0;

void check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  ++(ok ? passed : failed);
}

double rms(const std::vector<int16_t>& s, size_t from, size_t to) {
  double sum = 0;
  to = std::min(to, s.size());
  for (size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
  return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

int crossings(const std::vector<int16_t>& s, size_t from, size_t to) {
  int n = 0;
  for (size_t i = from + 1; i < std::min(to, s.size()); ++i) n += (s[i - 1] < 0) != (s[i] < 0);
  return n;
}

void checkMp3(const std::string& dir) {
  ql::Bytes mp3, pcm;
  ql::readWholeFile(dir + "\\tone.mp3", mp3);
  ql::readWholeFile(dir + "\\tone.pcm", pcm);
  qlswf::AcmMp3Codec codec;
  auto decoder = codec.open(44100, 1);
  check(decoder != nullptr, "the MPEG Layer-3 codec opens for 44.1 kHz mono");
  if (!decoder) return;
  std::vector<int16_t> out;
  // Fed in pieces that cut frames, as stream blocks may.
  for (size_t at = 0; at < mp3.size(); at += 1000)
    decoder->decode(mp3.data() + at, std::min<size_t>(1000, mp3.size() - at), &out);
  std::vector<int16_t> tone(pcm.size() / 2);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<int16_t>(pcm[i * 2] | (pcm[i * 2 + 1] << 8));
  std::printf("     decoded %u samples of %u\n", unsigned(out.size()), unsigned(tone.size()));
  check(out.size() > tone.size() * 9 / 10 && out.size() < tone.size() + 4000, "about a second of samples");
  double level = rms(out, 5000, 35000), expected = rms(tone, 5000, 35000);
  std::printf("     level %.0f, the tone's %.0f\n", level, expected);
  check(std::fabs(level - expected) < expected * 0.06, "the tone's level");
  int heard = crossings(out, 10000, 30000), made = crossings(tone, 10000, 30000);
  check(std::abs(heard - made) <= 4, "the tone's pitch");
}

void checkGlyphs() {
  qlswf::GdiFonts fonts;
  const text::DeviceGlyph* ni = fonts.glyph("\xE5\xAE\x8B\xE4\xBD\x93", false, false, U'\u4F60');  // 宋体, 你
  check(ni && ni->outline.size() > 10, "a Chinese character's outline from 宋体");
  if (ni) check(ni->advance > 0.8 && ni->advance < 1.2, "a square advance");
  const text::DeviceGlyph* fallback = fonts.glyph("NoSuchFace", false, false, U'\u597D');
  check(fallback && !fallback->outline.empty(), "a face the system lacks falls back to a Chinese one");
  const text::DeviceGlyph* a = fonts.glyph("_sans", false, false, U'A');
  check(a && !a->outline.empty() && a->advance > 0.3 && a->advance < 1, "Latin text in the sans face");
  text::DeviceFace m = fonts.metrics("_sans", false, false);
  check(m.ascent > 0.5 && m.ascent < 1.3 && m.descent > 0 && m.descent < 0.5, "the face's ascent and descent");
}

void checkTextPage(const std::string& dir) {
  ql::Bytes movie;
  ql::readWholeFile(dir + "\\chinese.swf", movie);
  qlswf::GdiFonts fonts;
  player::PlayerServices services;
  services.deviceFonts = &fonts;
  auto p = player::Player::load(movie.data(), movie.size(), services);
  check(p != nullptr, "the page of Chinese text loads");
  if (!p) return;
  p->advanceFrame();
  std::vector<uint32_t> pixels(600 * 400);
  p->render(pixels.data(), 600, 400, 600 * 4, true);
  int dark = 0, lines = 0, previous = 0;
  for (int y = 0; y < 400; ++y) {
    int row = 0;
    for (int x = 0; x < 600; ++x) row += (pixels[size_t(y) * 600 + x] & 0xFF) < 128;
    dark += row;
    lines += row > 0 && previous == 0;  // a band of text begins
    previous = row;
  }
  std::printf("     %d dark pixels in %d bands of text\n", dark, lines);
  check(dark > 20000, "the page is covered in characters");
  check(lines >= 18 && lines <= 22, "twenty lines of them");
}

void checkMixerAndOutput(const std::string& dir) {
  ql::Bytes movie;
  ql::readWholeFile(dir + "\\sound.swf", movie);
  qlswf::AcmMp3Codec codec;
  sound::Mixer mixer(&codec);
  player::PlayerServices services;
  services.mixer = &mixer;
  auto p = player::Player::load(movie.data(), movie.size(), services);
  check(p != nullptr, "the sound movie loads");
  if (!p) return;
  p->advanceFrame();
  check(!mixer.idle(), "its MP3 sound plays from frame 1");
  std::vector<int16_t> out(44100 * 2);
  mixer.mix(out.data(), 44100);
  double level = rms(out, 20000, 60000);
  std::printf("     mixed level %.0f\n", level);
  check(level > 6000 && level < 8000, "at the tone's level, in both channels");
  qlswf::WaveOutput output(mixer);
  bool played = output.update(0);
  std::printf("     wave output: %s\n", played ? "playing" : "no sound device");
  check(played == output.running(), "played when a device opens, nothing started otherwise");
  Sleep(300);
  mixer.setVolume(0);
  output.update(1);
  output.update(5);  // idle long enough: the output stops
  check(!output.running(), "a silent mixer lets the output go");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: player_media_test DIR\n");
    return 2;
  }
  std::string dir = argv[1];
  checkMp3(dir);
  checkGlyphs();
  checkTextPage(dir);
  checkMixerAndOutput(dir);
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed ? 1 : 0;
}
