// Sound: each format decoded to the samples expected (PCM in both byte
// orders and 8 bits, ADPCM at every code size, MP3 through libmpg123), the
// mixer's event sounds (loops, in and out points, envelopes, no-multiple,
// stop, volume), and whole movies whose mixed output has the length and
// level their sounds call for.
#include <gtest/gtest.h>

#include <cmath>

#include "player/sound/decode.h"
#include "player/sound/mixer.h"
#include "player/sound/mpg123_codec.h"
#include "swf_builder.h"
#include "test_player.h"

using swftest::Bytes;
using swftest::MovieBuilder;
using swftest::TestPlayer;

namespace {

std::vector<int16_t> sine(size_t frames, double hz, int rate, double amplitude, int channels = 1) {
  std::vector<int16_t> out;
  for (size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      out.push_back(static_cast<int16_t>(std::lround(amplitude * std::sin(2 * 3.14159265358979 * hz * i / rate))));
  return out;
}

double rms(const std::vector<int16_t>& s, size_t from = 0, size_t to = SIZE_MAX) {
  double sum = 0;
  to = std::min(to, s.size());
  for (size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
  return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

swf::SoundDef soundDef(swf::SoundFormat format, int rate, bool stereo, uint32_t count, Bytes data) {
  swf::SoundDef d;
  d.format = format;
  d.rate = rate;
  d.stereo = stereo;
  d.sampleCount = count;
  d.data = std::move(data);
  return d;
}

std::vector<int16_t> mixAll(sound::Mixer& mixer, size_t frames) {
  std::vector<int16_t> out(frames * 2);
  mixer.mix(out.data(), frames);
  return out;
}

}  // namespace

TEST(SoundDecode, PcmInEitherByteOrderAndEightBits) {
  std::vector<int16_t> tone = sine(2000, 440, 44100, 12000);
  std::vector<int16_t> little, big, guessedLittle;
  sound::decodePcm(swftest::pcm16(tone).data(), tone.size() * 2, true, false, true, &little);
  EXPECT_EQ(tone, little);
  // Native byte order: whichever reads as the smoother signal.
  sound::decodePcm(swftest::pcm16(tone, true).data(), tone.size() * 2, true, false, false, &big);
  EXPECT_EQ(tone, big);
  sound::decodePcm(swftest::pcm16(tone).data(), tone.size() * 2, true, false, false, &guessedLittle);
  EXPECT_EQ(tone, guessedLittle);
  std::vector<int16_t> eight;
  const uint8_t bytes[3] = {0, 128, 255};
  sound::decodePcm(bytes, 3, false, false, false, &eight);
  EXPECT_EQ((std::vector<int16_t>{-32768, 0, 32512}), eight);
}

TEST(SoundDecode, AdpcmCodesWorkedByHand) {
  // 4-bit codes; a packet starting at 0 with step index 0 (step 7). Code
  // 0111 adds 7/8 + 7 + 7/2 + 7/4 (each truncated) = 11 and moves the index
  // to 8 (step 16); code 1111 then takes away 2 + 16 + 8 + 4 = 30.
  const uint8_t bits[4] = {0x80, 0x00, 0x00, 0x7F};
  std::vector<int16_t> out;
  sound::decodeAdpcm(bits, sizeof bits, false, &out);
  EXPECT_EQ((std::vector<int16_t>{0, 11, -19}), out);
}

TEST(SoundDecode, AdpcmAtEveryCodeSizeFollowsTheSignal) {
  // Over more than one 4096-sample packet, in stereo.
  std::vector<int16_t> tone = sine(9000, 300, 22050, 10000, 2);
  double previous = 1e9;
  for (int bits = 2; bits <= 5; ++bits) {
    Bytes data = swftest::encodeAdpcm(tone, true, bits);
    // Padding bits at the end could pass for one more sample: the count caps it.
    std::vector<int16_t> out =
        sound::decodeSound(soundDef(swf::SoundFormat::Adpcm, 22050, true, 9000, data), nullptr).samples;
    ASSERT_EQ(tone.size(), out.size()) << bits;
    // Each packet starts exactly; more bits follow the signal closer.
    EXPECT_EQ(tone[4096 * 2], out[4096 * 2]);
    std::vector<int16_t> difference(tone.size());
    for (size_t i = 0; i < tone.size(); ++i) difference[i] = static_cast<int16_t>(tone[i] - out[i]);
    double error = rms(difference);
    EXPECT_LT(error, rms(tone) / 15) << bits;
    EXPECT_LT(error, previous) << bits;
    previous = error;
  }
}

TEST(SoundDecode, Mp3ThroughTheCodecKeepsLevelAndPitch) {
  auto codec = sound::makeMpg123Codec();
  std::vector<int16_t> tone = sine(44100, 1000, 44100, 10000);
  Bytes mp3 = swftest::encodeMp3(tone, 44100, 1);
  Bytes data{0, 0};  // no samples to skip
  data.insert(data.end(), mp3.begin(), mp3.end());
  sound::Pcm pcm = sound::decodeSound(soundDef(swf::SoundFormat::Mp3, 44100, false, 44100, data), codec.get());
  EXPECT_EQ(44100, pcm.rate);
  // The encoder's delay shortens the tail at most; the tag's count caps it.
  EXPECT_GT(pcm.frames(), 40000u);
  EXPECT_LE(pcm.frames(), 44100u);
  EXPECT_NEAR(10000 / std::sqrt(2.0), rms(pcm.samples, 5000, 35000), 400);
  // 1 kHz: 2 zero crossings a millisecond.
  int crossings = 0;
  for (size_t i = 10001; i < 20000; ++i) crossings += (pcm.samples[i - 1] < 0) != (pcm.samples[i] < 0);
  EXPECT_NEAR(453, crossings, 4);  // 9999 samples at 44.1 kHz
  // Without a codec MP3 stays silent rather than failing.
  EXPECT_EQ(0u, sound::decodeSound(soundDef(swf::SoundFormat::Mp3, 44100, false, 100, data), nullptr).frames());
}

TEST(Mixer, LoopsInAndOutPointsEnvelopeNoMultipleAndStop) {
  sound::Mixer mixer(nullptr);
  std::vector<int16_t> ramp;
  for (int i = 0; i < 100; ++i) ramp.push_back(static_cast<int16_t>(i * 100));
  auto def = std::make_shared<swf::SoundDef>(soundDef(swf::SoundFormat::PcmLittle, 44100, false, 100, swftest::pcm16(ramp)));
  swf::SoundInfo info;
  info.loops = 3;
  info.hasIn = info.hasOut = true;
  info.inPoint = 10;
  info.outPoint = 60;
  mixer.startSound(1, def, info);
  info.noMultiple = true;
  mixer.startSound(1, def, info);  // already playing: not again
  std::vector<int16_t> out = mixAll(mixer, 200);
  EXPECT_EQ(1000, out[0]);        // starts at the in point, both channels
  EXPECT_EQ(1000, out[1]);
  EXPECT_EQ(5900, out[2 * 49]);   // up to the out point
  EXPECT_EQ(1000, out[2 * 50]);   // then again
  EXPECT_EQ(5900, out[2 * 149]);  // three times in all
  EXPECT_EQ(0, out[2 * 150]);
  EXPECT_TRUE(mixer.idle());

  // An envelope from full to nothing over 100 samples.
  swf::SoundInfo fade;
  fade.envelope = {{0, 32768, 32768}, {100, 0, 0}};
  mixer.startSound(1, def, fade);
  out = mixAll(mixer, 100);
  EXPECT_EQ(5000 / 2, out[2 * 50]);

  // Stopping ends it wherever it is.
  mixer.startSound(1, def, swf::SoundInfo());
  swf::SoundInfo stop;
  stop.stop = true;
  mixer.startSound(1, def, stop);
  EXPECT_TRUE(mixer.idle());

  // Silent: nothing starts and nothing is mixed.
  mixer.setVolume(0);
  mixer.startSound(1, def, swf::SoundInfo());
  EXPECT_TRUE(mixer.idle());
  mixer.setVolume(0.5);
  mixer.startSound(1, def, swf::SoundInfo());
  out = mixAll(mixer, 100);
  EXPECT_EQ(2500, out[2 * 50]);
}

TEST(Mixer, ScriptSoundsHaveOwnersGainsAndPositions) {
  sound::Mixer mixer(nullptr);
  std::vector<int16_t> level(44100, 8000);  // one second, flat
  auto def = std::make_shared<swf::SoundDef>(soundDef(swf::SoundFormat::PcmLittle, 44100, false, 44100, swftest::pcm16(level)));
  int a = 0, b = 0;  // two clips' addresses stand for their owners
  uint32_t first = mixer.startSound(1, def, swf::SoundInfo(), &a);
  uint32_t second = mixer.startSound(1, def, swf::SoundInfo(), &b);
  ASSERT_NE(0u, first);
  ASSERT_NE(first, second);
  // a's sound at half volume, all of it on the left speaker.
  sound::Mixer::Gains half;
  half.leftToLeft = 0.5f;
  half.leftToRight = 0;
  half.rightToLeft = 0.5f;
  half.rightToRight = 0;
  mixer.setGains(&a, half);
  std::vector<int16_t> out = mixAll(mixer, 4410);
  EXPECT_EQ(8000 + 4000 + 4000, out[200]);  // left: b's whole, a's both channels halved
  EXPECT_EQ(8000, out[201]);                // right: b's alone
  EXPECT_NEAR(100, mixer.position(first), 0.01);
  // The movie's own gains apply to everything.
  sound::Mixer::Gains quiet;
  quiet.leftToLeft = quiet.rightToRight = 0.25f;
  mixer.setGains(nullptr, quiet);
  out = mixAll(mixer, 10);
  EXPECT_EQ(4000, out[0]);
  EXPECT_EQ(2000, out[1]);
  // Stopping b's sounds leaves a's.
  mixer.stopSounds(-1, &b);
  EXPECT_LT(mixer.position(second), 0);
  EXPECT_GT(mixer.position(first), 0);
  mixAll(mixer, 44100);
  EXPECT_LT(mixer.position(first), 0);  // played to its end
  EXPECT_TRUE(mixer.idle());
}

TEST(Mixer, LowerRatesAreStretchedToTheOutputRate) {
  sound::Mixer mixer(nullptr);
  std::vector<int16_t> two{0, 4000};
  auto def = std::make_shared<swf::SoundDef>(soundDef(swf::SoundFormat::PcmLittle, 11025, false, 2, swftest::pcm16(two)));
  mixer.startSound(1, def, swf::SoundInfo());
  std::vector<int16_t> out = mixAll(mixer, 10);
  // Four output samples per input sample, in between by straight lines.
  EXPECT_EQ(0, out[0]);
  EXPECT_EQ(2000, out[2 * 2]);
  EXPECT_EQ(4000, out[2 * 4]);
  EXPECT_EQ(0, out[2 * 8]);
}

// A 12 fps movie of 24 frames streaming a 22 kHz tone at half scale, one
// block a frame: two seconds of sound at its own level, then silence.
TEST(MixerWholeMovie, StreamedSoundHasTheMoviesLengthAndLevel) {
  MovieBuilder m(20, 20, 12);
  const int perFrame = 22050 / 12;
  m.root().soundStreamHead(3, 2, true, false, perFrame);
  std::vector<int16_t> tone = sine(size_t(perFrame) * 24, 441, 22050, 16384);
  for (int f = 0; f < 24; ++f) {
    std::vector<int16_t> block(tone.begin() + f * perFrame, tone.begin() + (f + 1) * perFrame);
    m.root().soundStreamBlock(swftest::pcm16(block));
    if (f == 23) m.root().action(swftest::act::stop());
    m.root().showFrame();
  }
  sound::Mixer mixer(nullptr);
  TestPlayer p(m.finish(true), &mixer);
  ASSERT_TRUE(p.loaded());
  // Frames and output alternate as in playback: each frame, a frame's worth.
  std::vector<int16_t> heard;
  const size_t outPerFrame = 44100 / 12;
  for (int f = 0; f < 30; ++f) {
    p->advanceFrame();
    std::vector<int16_t> out = mixAll(mixer, outPerFrame);
    heard.insert(heard.end(), out.begin(), out.end());
  }
  size_t last = 0;
  for (size_t i = 0; i < heard.size(); i += 2)
    if (std::abs(heard[i]) > 200) last = i / 2;
  EXPECT_NEAR(24.0 * outPerFrame, double(last), outPerFrame);
  EXPECT_NEAR(16384 / std::sqrt(2.0), rms(heard, 0, 2 * 23 * outPerFrame), 300);
  EXPECT_TRUE(mixer.idle());
}

// An event sound started on frame 1 and looped twice plays its length twice.
TEST(MixerWholeMovie, EventSoundsPlayTheirLoopsOnce) {
  MovieBuilder m(20, 20, 12);
  std::vector<int16_t> tone = sine(11025, 441, 44100, 8000);
  m.defineSound(1, 3, 3, true, false, 11025, swftest::pcm16(tone));
  swftest::SoundStart start;
  start.loops = 2;
  m.root().startSound(1, start);
  m.root().showFrame();
  m.root().showFrame();
  sound::Mixer mixer(nullptr);
  TestPlayer p(m.finish(true), &mixer);
  std::vector<int16_t> heard;
  for (int f = 0; f < 12; ++f) {
    // The timeline loops through frame 1 again: the sound starts anew then.
    if (f < 1) p->advanceFrame();
    std::vector<int16_t> out = mixAll(mixer, 44100 / 12);
    heard.insert(heard.end(), out.begin(), out.end());
  }
  size_t last = 0;
  for (size_t i = 0; i < heard.size(); i += 2)
    if (heard[i] != 0) last = i / 2;
  EXPECT_NEAR(22050.0, double(last), 20);
  EXPECT_NEAR(8000 / std::sqrt(2.0), rms(heard, 0, 2 * 22000), 100);
}
