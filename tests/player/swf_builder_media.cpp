// The test movie builder's text, button and sound tags, and the sound
// encoders the sound tests feed them.
#include <lame/lame.h>

#include <algorithm>
#include <cstdlib>

#include "player/sound/decode.h"
#include "swf_builder.h"

namespace swftest {

namespace act {

Bytes setVariable(const std::string& name, const std::string& value) {
  return join({pushString(name), pushString(value), Bytes{0x1D}});
}

}  // namespace act

void MovieBuilder::defineRect(uint16_t id, uint32_t argb, int x0, int y0, int x1, int y1) {
  ShapeBuilder s;
  int fill = s.solidFill(argb);
  Path p;
  p.fill1(fill).rect(x0 * 20, y0 * 20, x1 * 20, y1 * 20);
  defineShape(id, s, p, x0 * 20, x1 * 20, y0 * 20, y1 * 20);
}

void MovieBuilder::defineButton2(uint16_t id, const std::vector<ButtonRecord>& records,
                                 const std::vector<ButtonAction>& actions, bool menu) {
  Writer w;
  w.u16(id);
  w.u8(menu ? 1 : 0);
  Writer recordBytes;
  for (const ButtonRecord& r : records) {
    recordBytes.u8(static_cast<uint32_t>(r.states));
    recordBytes.u16(r.id);
    recordBytes.u16(r.depth);
    recordBytes.matrix(r.matrix.a, r.matrix.b, r.matrix.c, r.matrix.d, r.matrix.tx, r.matrix.ty);
    recordBytes.colorTransform(256, 256, 256, 256, 0, 0, 0, 0);
  }
  recordBytes.u8(0);
  const Bytes& rec = recordBytes.data();
  // The offset counts from its own field to the first action.
  w.u16(actions.empty() ? 0 : static_cast<uint32_t>(rec.size() + 2));
  w.bytes(rec);
  for (size_t i = 0; i < actions.size(); ++i) {
    Bytes code = actions[i].code;
    code.push_back(0);
    bool last = i + 1 == actions.size();
    w.u16(last ? 0 : static_cast<uint32_t>(code.size() + 4));
    w.u16(actions[i].conditions);
    w.bytes(code);
  }
  root_.tag(34, w.data());
}

void MovieBuilder::defineButtonSound(uint16_t buttonId, const uint16_t soundIds[4]) {
  Writer w;
  w.u16(buttonId);
  for (int i = 0; i < 4; ++i) {
    w.u16(soundIds[i]);
    if (soundIds[i]) w.u8(0);  // SOUNDINFO without options
  }
  root_.tag(17, w.data());
}

void MovieBuilder::defineFont2(uint16_t id, const std::string& name, const std::vector<Glyph>& glyphs, int ascent,
                               int descent) {
  std::vector<Bytes> shapes;
  for (const Glyph& g : glyphs) {
    Writer s;
    writeRecords(s, g.outline, 1, 0);
    shapes.push_back(s.data());
  }
  Writer w;
  w.u16(id);
  w.u8(0x80 | 0x08 | 0x04);  // layout, wide offsets, wide codes
  w.u8(0);
  w.u8(static_cast<uint32_t>(name.size()));
  for (char c : name) w.u8(static_cast<uint8_t>(c));
  w.u16(static_cast<uint32_t>(glyphs.size()));
  uint32_t offset = static_cast<uint32_t>(4 * (glyphs.size() + 1));
  for (const Bytes& b : shapes) {
    w.u32(offset);
    offset += static_cast<uint32_t>(b.size());
  }
  w.u32(offset);  // the code table
  for (const Bytes& b : shapes) w.bytes(b);
  for (const Glyph& g : glyphs) w.u16(static_cast<uint32_t>(g.code));
  w.u16(static_cast<uint32_t>(ascent));
  w.u16(static_cast<uint32_t>(descent));
  w.u16(0);  // leading
  for (const Glyph& g : glyphs) w.u16(static_cast<uint32_t>(g.advance) & 0xFFFF);
  for (size_t i = 0; i < glyphs.size(); ++i) w.rect(0, 0, 0, 0);
  w.u16(0);  // no kerning
  root_.tag(48, w.data());
}

void MovieBuilder::defineText(uint16_t id, uint16_t fontId, int height, uint32_t argb, const Matrix& m,
                              const std::vector<std::pair<int, int>>& glyphs) {
  Writer w;
  w.u16(id);
  w.rect(0, 20000, -height, height);
  w.matrix(m.a, m.b, m.c, m.d, m.tx, m.ty);
  w.u8(8);   // glyph index bits
  w.u8(16);  // advance bits
  w.u8(0x80 | 0x08 | 0x04 | 0x01 | 0x02);  // font, colour, x and y
  w.u16(fontId);
  w.rgba(argb);
  w.u16(0);
  w.u16(0);
  w.u16(static_cast<uint32_t>(height));
  w.u8(static_cast<uint32_t>(glyphs.size()));
  for (const auto& g : glyphs) {
    w.ubits(static_cast<uint32_t>(g.first), 8);
    w.sbits(g.second, 16);
  }
  w.flush();
  w.u8(0);
  root_.tag(33, w.data());
}

void MovieBuilder::defineEditText(uint16_t id, const EditTextSpec& e) {
  Writer w;
  w.u16(id);
  w.rect(e.xMin, e.xMax, e.yMin, e.yMax);
  bool hasText = !e.text.empty();
  w.u8((hasText ? 0x80 : 0) | (e.wordWrap ? 0x40 : 0) | (e.multiline ? 0x20 : 0) | (e.password ? 0x10 : 0) |
       (e.input ? 0 : 0x08) | 0x04 | (e.maxChars ? 0x02 : 0) | (e.fontId ? 0x01 : 0));
  w.u8(0x20 | (e.border ? 0x08 : 0) | (e.html ? 0x02 : 0) | (e.useOutlines ? 0x01 : 0));
  if (e.fontId) {
    w.u16(e.fontId);
    w.u16(static_cast<uint32_t>(e.height));
  }
  w.rgba(e.argb);
  if (e.maxChars) w.u16(static_cast<uint32_t>(e.maxChars));
  w.u8(static_cast<uint32_t>(e.align));
  w.u16(0);
  w.u16(0);
  w.u16(0);
  w.u16(0);
  w.text(e.variable);
  if (hasText) w.text(e.text);
  root_.tag(37, w.data());
}

void MovieBuilder::defineSound(uint16_t id, int format, int rateIndex, bool sixteenBit, bool stereo,
                               uint32_t sampleCount, const Bytes& data) {
  Writer w;
  w.u16(id);
  w.u8(static_cast<uint32_t>((format << 4) | (rateIndex << 2) | (sixteenBit ? 2 : 0) | (stereo ? 1 : 0)));
  w.u32(sampleCount);
  w.bytes(data);
  root_.tag(14, w.data());
}

void Timeline::startSound(uint16_t soundId, const SoundStart& s) {
  Writer w;
  w.u16(soundId);
  w.u8((s.stop ? 0x20 : 0) | (s.noMultiple ? 0x10 : 0) | (!s.envelope.empty() ? 0x08 : 0) |
       (s.loops != 1 ? 0x04 : 0) | (s.outPoint ? 0x02 : 0) | (s.inPoint ? 0x01 : 0));
  if (s.inPoint) w.u32(s.inPoint);
  if (s.outPoint) w.u32(s.outPoint);
  if (s.loops != 1) w.u16(static_cast<uint32_t>(s.loops));
  if (!s.envelope.empty()) {
    w.u8(static_cast<uint32_t>(s.envelope.size()));
    for (const auto& p : s.envelope) {
      w.u32(p.first);
      w.u16(p.second);
      w.u16(p.second);
    }
  }
  tag(15, w.data());
}

void Timeline::soundStreamHead(int format, int rateIndex, bool sixteenBit, bool stereo, int samplesPerFrame) {
  Writer w;
  uint32_t flags = static_cast<uint32_t>((format << 4) | (rateIndex << 2) | (sixteenBit ? 2 : 0) | (stereo ? 1 : 0));
  w.u8(flags & 0x0F);
  w.u8(flags);
  w.u16(static_cast<uint32_t>(samplesPerFrame));
  if (format == 2) w.u16(0);  // latency seek
  tag(45, w.data());
}

void Timeline::soundStreamBlock(const Bytes& data) { tag(19, data); }

Bytes pcm16(const std::vector<int16_t>& samples, bool bigEndian) {
  Bytes out;
  for (int16_t s : samples) {
    uint16_t v = static_cast<uint16_t>(s);
    out.push_back(static_cast<uint8_t>(bigEndian ? v >> 8 : v & 0xFF));
    out.push_back(static_cast<uint8_t>(bigEndian ? v & 0xFF : v >> 8));
  }
  return out;
}

// The IMA step search run the other way: each code is the one whose step
// brings the prediction nearest the sample.
Bytes encodeAdpcm(const std::vector<int16_t>& samples, bool stereo, int bits) {
  int channels = stereo ? 2 : 1;
  size_t frames = samples.size() / size_t(channels);
  Writer w;
  w.ubits(static_cast<uint32_t>(bits - 2), 2);
  int predicted[2] = {0, 0}, index[2] = {0, 0};
  int sign = 1 << (bits - 1);
  for (size_t f = 0; f < frames; ++f) {
    bool header = f % 4096 == 0;
    for (int c = 0; c < channels; ++c) {
      int sample = samples[f * size_t(channels) + size_t(c)];
      if (header) {
        predicted[c] = sample;
        index[c] = 20;
        w.sbits(sample, 16);
        w.ubits(static_cast<uint32_t>(index[c]), 6);
        continue;
      }
      // The code whose step brings the prediction nearest the sample.
      int best = 0, bestError = 1 << 30, bestValue = predicted[c];
      for (int code = 0; code < (1 << bits); ++code) {
        int diff = sound::adpcmDifference(sound::kAdpcmSteps[index[c]], static_cast<uint32_t>(code), bits);
        int value = std::max(-32768, std::min(32767, code & sign ? predicted[c] - diff : predicted[c] + diff));
        if (std::abs(value - sample) < bestError) {
          bestError = std::abs(value - sample);
          best = code;
          bestValue = value;
        }
      }
      predicted[c] = bestValue;
      index[c] = std::max(0, std::min(88, index[c] + sound::adpcmIndexChange(static_cast<uint32_t>(best), bits)));
      w.ubits(static_cast<uint32_t>(best), bits);
    }
  }
  return w.data();
}

Bytes encodeMp3(const std::vector<int16_t>& samples, int rate, int channels) {
  lame_global_flags* lame = lame_init();
  lame_set_in_samplerate(lame, rate);
  lame_set_out_samplerate(lame, rate);
  lame_set_num_channels(lame, channels);
  lame_set_mode(lame, channels == 2 ? JOINT_STEREO : MONO);
  lame_set_brate(lame, 128);
  lame_set_bWriteVbrTag(lame, 0);
  lame_init_params(lame);
  Bytes out(samples.size() * 2 + 7200 + 65536);
  int frames = static_cast<int>(samples.size() / size_t(channels));
  std::vector<int16_t> copy(samples);
  int n = channels == 2
              ? lame_encode_buffer_interleaved(lame, copy.data(), frames, out.data(), static_cast<int>(out.size()))
              : lame_encode_buffer(lame, copy.data(), copy.data(), frames, out.data(), static_cast<int>(out.size()));
  int tail = lame_encode_flush(lame, out.data() + std::max(0, n), static_cast<int>(out.size()) - std::max(0, n));
  lame_close(lame);
  out.resize(size_t(std::max(0, n) + std::max(0, tail)));
  return out;
}

}  // namespace swftest
