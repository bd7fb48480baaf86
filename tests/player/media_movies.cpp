#include "media_movies.h"

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <string>

namespace swftest {

Bytes buttonClickMovie() {
  MovieBuilder m(400, 300, 12);
  m.background(0xFFFFFF);
  m.defineRect(1, 0xFFFF0000, 100, 75, 300, 225);
  m.defineRect(2, 0xFF00FF00, 100, 75, 300, 225);
  m.defineRect(3, 0xFF0000FF, 100, 75, 300, 225);
  m.defineRect(4, 0xFF000000, 20, 20, 80, 80);
  std::vector<MovieBuilder::ButtonRecord> records{{1 | 8, 1, 1, {}}, {2, 2, 1, {}}, {4, 3, 1, {}}};
  MovieBuilder::ButtonAction release;
  release.conditions = 0x0008;  // OverDownToOverUp
  release.code = act::gotoFrame(1);
  m.defineButton2(10, records, {release}, false);
  m.root().place(1, 10);
  m.root().action(act::stop());
  m.root().showFrame();
  m.root().place(2, 4);
  m.root().showFrame();
  return m.finish(true);
}

Bytes inputFieldMovie() {
  MovieBuilder m(400, 300, 12, 8);
  m.background(0xFFFFFF);
  defineBoxFont(m, 1);
  EditTextSpec e;
  e.xMin = 400;
  e.xMax = 7600;
  e.yMin = 400;
  e.yMax = 2400;
  e.fontId = 1;
  e.height = 1600;
  e.argb = 0xFF0000FF;
  e.useOutlines = true;
  e.border = true;
  e.variable = "typed";
  EditTextSpec input = e;
  input.input = true;
  m.defineEditText(2, input);
  e.yMin = 3200;
  e.yMax = 5200;
  m.defineEditText(3, e);
  // Chinese goes into an input field in the system's 宋体.
  m.defineFont2(4, "\xE5\xAE\x8B\xE4\xBD\x93", {}, 0, 0);
  EditTextSpec chinese;
  chinese.xMin = 400;
  chinese.xMax = 7600;
  chinese.yMin = 5300;
  chinese.yMax = 5900;
  chinese.fontId = 4;
  chinese.height = 400;
  chinese.border = true;
  chinese.input = true;
  m.defineEditText(5, chinese);
  m.root().place(1, 2, Matrix(), 0, "field");
  m.root().place(2, 3, Matrix(), 0, "mirror");
  m.root().place(3, 5, Matrix(), 0, "chinese");
  Script restrict;
  restrict.getVariable("field").push("restrict").push("A-Z").op(Script::kSetMember).op(Script::kStop);
  m.root().action(restrict.bytes());
  m.root().showFrame();
  return m.finish(true);
}

Bytes chineseTextPage() {
  MovieBuilder m(600, 400, 12, 5);
  m.background(0xFFFFFF);
  // GBK: 30 characters a line, cycling through a run of common ones.
  const char* kCharacters = "\xC7\xE0\xE1\xB0\xD7\xC0\xC3\xE6\xB9\xA4\xBE\xDF\xCF\xE4\xC4\xE3\xBA\xC3\xCA\xC0"
                            "\xBD\xE7\xB4\xBA\xCF\xC4\xC7\xEF\xB6\xAC\xC8\xD5\xD4\xC2\xD0\xC7\xB3\xBD";
  std::string text;
  size_t available = std::string(kCharacters).size() / 2;
  for (int line = 0; line < 20; ++line) {
    for (int i = 0; i < 30; ++i) text.append(kCharacters + ((line * 30 + i) % available) * 2, 2);
    if (line < 19) text += '\r';
  }
  // A font without outlines names the system face: 宋体, in GBK.
  m.defineFont2(1, "\xCB\xCE\xCC\xE5", {}, 0, 0);
  EditTextSpec e;
  e.fontId = 1;
  e.xMin = 200;
  e.xMax = 11800;
  e.yMin = 200;
  e.yMax = 7800;
  e.height = 360;
  e.multiline = true;
  e.text = text;
  m.defineEditText(2, e);
  m.root().place(1, 2);
  m.root().showFrame();
  return m.finish(true);
}

Bytes digitalClock() {
  MovieBuilder m(600, 400, 24);
  m.background(0x102030);
  m.defineFont2(1, "_sans", {}, 0, 0);
  EditTextSpec e;
  e.fontId = 1;
  e.xMin = 1000;
  e.xMax = 11000;
  e.yMin = 2400;
  e.yMax = 5000;
  e.height = 1280;
  e.argb = 0xFF40FF80;
  e.align = 2;
  e.variable = "time";
  m.defineEditText(2, e);
  m.root().place(1, 2);
  for (int f = 0; f < 48; ++f) {
    int seconds = 12 * 3600 + 34 * 60 + f / 24;
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    m.root().action(act::setVariable("time", clock));
    m.root().showFrame();
  }
  return m.finish(true);
}

std::vector<int16_t> testTone() {
  std::vector<int16_t> tone;
  for (int i = 0; i < 44100; ++i)
    tone.push_back(static_cast<int16_t>(std::lround(10000 * std::sin(2 * 3.14159265358979 * 1000 * i / 44100))));
  return tone;
}

Bytes loopingMp3Movie() {
  MovieBuilder m(400, 300, 12);
  m.background(0xFFFFFF);
  Bytes data{0, 0};  // no samples to skip
  Bytes mp3 = encodeMp3(testTone(), 44100, 1);
  data.insert(data.end(), mp3.begin(), mp3.end());
  m.defineSound(1, 2, 3, true, false, 44100, data);
  m.defineRect(2, 0xFFFF0000, 100, 75, 300, 225);
  m.defineRect(3, 0xFF00FF00, 100, 75, 300, 225);
  SoundStart loop;
  loop.loops = 1000;
  loop.noMultiple = true;  // the timeline passes frame 1 again and again
  m.root().startSound(1, loop);
  m.root().place(1, 2);
  m.root().showFrame();
  m.root().remove(1);
  m.root().place(1, 3);
  m.root().showFrame();
  return m.finish(true);
}


namespace {

// The MP3 frames of a stream of constant bit rate, split at their headers.
std::vector<Bytes> mp3Frames(const Bytes& mp3) {
  static const int kBitRates[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
  std::vector<Bytes> frames;
  size_t at = 0;
  while (at + 4 <= mp3.size()) {
    if (mp3[at] != 0xFF || (mp3[at + 1] & 0xE0) != 0xE0) break;
    int rate = kBitRates[mp3[at + 2] >> 4];
    int padding = (mp3[at + 2] >> 1) & 1;
    size_t length = size_t(144 * rate * 1000 / 44100 + padding);
    if (!rate || at + length > mp3.size()) break;
    frames.emplace_back(mp3.begin() + static_cast<std::ptrdiff_t>(at), mp3.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
  }
  return frames;
}

}  // namespace

Bytes loopingMp3Stream() {
  MovieBuilder m(400, 300, 12);
  m.background(0xFFFFFF);
  m.defineRect(1, 0xFFFF0000, 100, 75, 300, 225);
  const int perFrame = 44100 / 12;
  m.root().soundStreamHead(2, 3, true, false, perFrame);
  m.root().place(1, 1);
  std::vector<Bytes> frames = mp3Frames(encodeMp3(testTone(), 44100, 1));
  // Each block takes the MP3 frames that bring the stream up to its frame's end.
  size_t used = 0;
  for (int f = 0; f < 12; ++f) {
    size_t until = std::min(frames.size(), size_t((f + 1) * perFrame + 1151) / 1152);
    Writer block;
    block.u16(static_cast<uint32_t>((until - used) * 1152));
    block.u16(0);
    for (; used < until; ++used) block.bytes(frames[used]);
    m.root().soundStreamBlock(block.data());
    m.root().showFrame();
  }
  return m.finish(true);
}

}  // namespace swftest
