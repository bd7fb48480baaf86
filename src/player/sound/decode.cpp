#include "player/sound/decode.h"

#include <algorithm>
#include <cstdlib>

namespace sound {

namespace {

}  // namespace

const int kAdpcmSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

namespace {

const int kIndex2[2] = {-1, 2};
const int kIndex3[4] = {-1, -1, 2, 4};
const int kIndex4[8] = {-1, -1, -1, -1, 2, 4, 6, 8};
const int kIndex5[16] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};

// Big-endian bit fields, as ADPCM packs them.
class Bits {
 public:
  Bits(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool has(size_t n) const { return pos_ + n <= size_ * 8; }
  uint32_t read(int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i, ++pos_) v = (v << 1) | ((data_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1);
    return v;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

int16_t clamp16(int v) { return static_cast<int16_t>(std::max(-32768, std::min(32767, v))); }

// Sum of jumps between neighbouring samples: lower for the right byte order.
int64_t roughness(const uint8_t* data, size_t count, bool littleEndian, int stride) {
  int64_t sum = 0;
  int prev = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = data + i * 2 * stride;
    int v = static_cast<int16_t>(littleEndian ? p[0] | (p[1] << 8) : (p[0] << 8) | p[1]);
    if (i) sum += std::abs(v - prev);
    prev = v;
  }
  return sum;
}

}  // namespace

int adpcmIndexChange(uint32_t code, int bits) {
  const int* table = bits == 2 ? kIndex2 : bits == 3 ? kIndex3 : bits == 4 ? kIndex4 : kIndex5;
  return table[code & ((1u << (bits - 1)) - 1)];
}

int adpcmDifference(int step, uint32_t code, int bits) {
  int diff = step >> (bits - 1);
  for (int k = bits - 2; k >= 0; --k)
    if (code & (1u << k)) diff += step >> (bits - 2 - k);
  return diff;
}

void decodePcm(const uint8_t* data, size_t size, bool sixteenBit, bool stereo, bool knownLittleEndian,
               std::vector<int16_t>* out) {
  if (!sixteenBit) {
    // 8-bit samples are unsigned.
    for (size_t i = 0; i < size; ++i) out->push_back(static_cast<int16_t>((data[i] - 128) * 256));
    return;
  }
  size_t count = size / 2;
  bool little = true;
  if (!knownLittleEndian && count > 2) {
    int channels = stereo ? 2 : 1;
    size_t probe = std::min<size_t>(count / channels, 4096);
    little = roughness(data, probe, true, channels) <= roughness(data, probe, false, channels);
  }
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = data + i * 2;
    out->push_back(static_cast<int16_t>(little ? p[0] | (p[1] << 8) : (p[0] << 8) | p[1]));
  }
}

void decodeAdpcm(const uint8_t* data, size_t size, bool stereo, std::vector<int16_t>* out) {
  Bits r(data, size);
  if (!r.has(2)) return;
  int bits = static_cast<int>(r.read(2)) + 2;
  int channels = stereo ? 2 : 1;
  uint32_t signBit = 1u << (bits - 1);
  while (r.has(size_t(22) * channels)) {
    int sample[2] = {0, 0}, index[2] = {0, 0};
    for (int c = 0; c < channels; ++c) {
      sample[c] = static_cast<int16_t>(r.read(16));
      index[c] = static_cast<int>(r.read(6));
      if (index[c] > 88) index[c] = 88;
      out->push_back(static_cast<int16_t>(sample[c]));
    }
    for (int n = 1; n < 4096 && r.has(size_t(bits) * channels); ++n) {
      for (int c = 0; c < channels; ++c) {
        uint32_t code = r.read(bits);
        int diff = adpcmDifference(kAdpcmSteps[index[c]], code, bits);
        sample[c] = clamp16(code & signBit ? sample[c] - diff : sample[c] + diff);
        index[c] = std::max(0, std::min(88, index[c] + adpcmIndexChange(code, bits)));
        out->push_back(static_cast<int16_t>(sample[c]));
      }
    }
  }
}

int mp3Rate(const uint8_t* data, size_t size) {
  static const int kRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};
  for (size_t i = 0; i + 4 <= size; ++i) {
    if (data[i] != 0xFF || (data[i + 1] & 0xE0) != 0xE0) continue;
    int version = (data[i + 1] >> 3) & 3;  // 3: MPEG 1, 2: MPEG 2, 0: MPEG 2.5
    int rateIndex = (data[i + 2] >> 2) & 3;
    if (version == 1 || rateIndex == 3) continue;
    return kRates[version == 3 ? 0 : version == 2 ? 1 : 2][rateIndex];
  }
  return 0;
}

Pcm decodeSound(const swf::SoundDef& def, Mp3Codec* codec) {
  Pcm pcm;
  pcm.rate = def.rate;
  pcm.channels = def.stereo ? 2 : 1;
  const uint8_t* data = def.data.data();
  size_t size = def.data.size();
  switch (def.format) {
    case swf::SoundFormat::PcmNative:
    case swf::SoundFormat::PcmLittle:
      decodePcm(data, size, def.sixteenBit, def.stereo, def.format == swf::SoundFormat::PcmLittle, &pcm.samples);
      break;
    case swf::SoundFormat::Adpcm:
      decodeAdpcm(data, size, def.stereo, &pcm.samples);
      break;
    case swf::SoundFormat::Mp3: {
      if (!codec || size < 2) break;
      // The frames follow the count of samples to skip at the start.
      int rate = mp3Rate(data + 2, size - 2);
      if (rate) pcm.rate = rate;
      std::unique_ptr<Mp3Decoder> decoder = codec->open(pcm.rate, pcm.channels);
      if (decoder) decoder->decode(data + 2, size - 2, &pcm.samples);
      break;
    }
    default:
      break;  // Nellymoser and Speex: not played
  }
  // Never more than the tag says, never a half sample frame.
  size_t frames = std::min<size_t>(pcm.frames(), def.sampleCount ? def.sampleCount : pcm.frames());
  pcm.samples.resize(frames * size_t(pcm.channels));
  return pcm;
}

}  // namespace sound
