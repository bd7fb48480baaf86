#include "player/sound/mixer.h"

#include <algorithm>
#include <cmath>

namespace sound {

namespace {

constexpr double kMaxStreamSeconds = 1.0;
constexpr int kMaxVoices = 64;

// The envelope's level at output frame `at`: straight lines between points.
void envelopeAt(const std::vector<swf::EnvelopePoint>& env, uint64_t at, float* left, float* right) {
  if (env.empty()) return;
  size_t i = 0;
  while (i < env.size() && env[i].position <= at) ++i;
  if (i == 0 || i == env.size()) {
    const swf::EnvelopePoint& p = env[i == 0 ? 0 : env.size() - 1];
    *left *= p.left / 32768.0f;
    *right *= p.right / 32768.0f;
    return;
  }
  const swf::EnvelopePoint& a = env[i - 1];
  const swf::EnvelopePoint& b = env[i];
  double t = b.position > a.position ? double(at - a.position) / (b.position - a.position) : 0;
  *left *= static_cast<float>((a.left + (b.left - a.left) * t) / 32768.0);
  *right *= static_cast<float>((a.right + (b.right - a.right) * t) / 32768.0);
}

}  // namespace

void Mixer::setVolume(double volume) {
  std::lock_guard<std::mutex> hold(lock_);
  volume_ = std::max(0.0, std::min(1.0, volume));
  if (volume_ == 0) {
    voices_.clear();
    streams_.clear();
  }
}

double Mixer::volume() const {
  std::lock_guard<std::mutex> hold(lock_);
  return volume_;
}

bool Mixer::idle() const {
  std::lock_guard<std::mutex> hold(lock_);
  if (!voices_.empty()) return false;
  for (const auto& s : streams_)
    if (!s.second.samples.empty()) return false;
  return true;
}

std::shared_ptr<const Pcm> Mixer::decoded(uint16_t id, const std::shared_ptr<const swf::SoundDef>& def) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    auto it = cache_.find(id);
    if (it != cache_.end()) return it->second;
  }
  // Decoding takes a while: outside the lock, so the output never waits.
  auto pcm = std::make_shared<const Pcm>(decodeSound(*def, codec_));
  std::lock_guard<std::mutex> hold(lock_);
  return cache_.emplace(id, pcm).first->second;
}

uint32_t Mixer::startSound(uint16_t id, const std::shared_ptr<const swf::SoundDef>& def,
                           const swf::SoundInfo& info, const void* owner) {
  if (volume() == 0 || !def) return 0;
  if (info.stop) {
    stopSounds(id, nullptr);
    return 0;
  }
  std::shared_ptr<const Pcm> pcm = decoded(id, def);
  if (!pcm || pcm->frames() == 0) return 0;
  std::lock_guard<std::mutex> hold(lock_);
  if (info.noMultiple)
    for (const Voice& v : voices_)
      if (v.id == id) return 0;
  if (voices_.size() >= size_t(kMaxVoices)) voices_.erase(voices_.begin());
  Voice v;
  v.id = id;
  v.owner = owner;
  v.pcm = pcm;
  // In and out points count 44.1 kHz samples whatever the sound's rate.
  double perOutput = double(pcm->rate) / kRate;
  double frames = double(pcm->frames());
  v.begin = info.hasIn ? std::min(frames, info.inPoint * perOutput) : 0;
  v.end = info.hasOut ? std::min(frames, info.outPoint * perOutput) : frames;
  if (v.end <= v.begin) return 0;
  v.position = v.begin;
  v.loopsLeft = std::max(1, info.loops);
  v.envelope = info.envelope;
  if (++lastHandle_ == 0) ++lastHandle_;  // 0 means none
  v.handle = lastHandle_;
  voices_.push_back(std::move(v));
  return voices_.back().handle;
}

void Mixer::stopSounds(int id, const void* owner) {
  std::lock_guard<std::mutex> hold(lock_);
  voices_.erase(std::remove_if(voices_.begin(), voices_.end(),
                               [&](const Voice& v) {
                                 return (id < 0 || v.id == id) && (!owner || v.owner == owner);
                               }),
                voices_.end());
}

void Mixer::setGains(const void* owner, const Gains& gains) {
  std::lock_guard<std::mutex> hold(lock_);
  gains_[owner] = gains;
}

double Mixer::position(uint32_t handle) const {
  std::lock_guard<std::mutex> hold(lock_);
  for (const Voice& v : voices_)
    if (v.handle == handle) return v.position * 1000.0 / v.pcm->rate;
  return -1;
}

void Mixer::stopAll() {
  std::lock_guard<std::mutex> hold(lock_);
  voices_.clear();
  for (auto& s : streams_) s.second.samples.clear();
}

void Mixer::decodeBlock(Stream& s, const swf::StreamHead& head, const uint8_t* block, size_t size) {
  std::vector<int16_t> samples;
  switch (head.format) {
    case swf::SoundFormat::PcmNative:
    case swf::SoundFormat::PcmLittle:
      decodePcm(block, size, head.sixteenBit, head.stereo, head.format == swf::SoundFormat::PcmLittle, &samples);
      break;
    case swf::SoundFormat::Adpcm:
      decodeAdpcm(block, size, head.stereo, &samples);
      // Padding bits at the end could pass for one more sample.
      if (head.samplesPerBlock) samples.resize(std::min(samples.size(), size_t(head.samplesPerBlock) * size_t(s.channels)));
      break;
    case swf::SoundFormat::Mp3:
      // Each block: the samples it holds, the samples to skip, MP3 frames.
      if (size > 4) {
        if (!s.mp3 && codec_) {
          int rate = mp3Rate(block + 4, size - 4);
          if (rate) s.rate = rate;
          s.mp3 = codec_->open(s.rate, s.channels);
        }
        if (s.mp3) s.mp3->decode(block + 4, size - 4, &samples);
      }
      break;
    default:
      break;
  }
  s.samples.insert(s.samples.end(), samples.begin(), samples.end());
}

void Mixer::streamBlock(const void* key, const swf::StreamHead& head, const uint8_t* block, size_t size,
                        bool restart) {
  if (volume() == 0) return;
  // The stream is decoded outside the lock; only its queue is shared.
  Stream fresh;
  std::unique_ptr<Mp3Decoder> mp3;
  {
    std::lock_guard<std::mutex> hold(lock_);
    auto it = streams_.find(key);
    if (it != streams_.end() && !restart) mp3 = std::move(it->second.mp3);
  }
  fresh.rate = head.rate;
  fresh.channels = head.stereo ? 2 : 1;
  fresh.format = head.format;
  fresh.mp3 = std::move(mp3);
  decodeBlock(fresh, head, block, size);
  std::lock_guard<std::mutex> hold(lock_);
  Stream& s = streams_[key];
  if (restart || s.channels != fresh.channels) {
    s.samples.clear();
    s.position = 0;
  }
  s.rate = fresh.rate;
  s.channels = fresh.channels;
  s.format = fresh.format;
  s.mp3 = std::move(fresh.mp3);
  s.samples.insert(s.samples.end(), fresh.samples.begin(), fresh.samples.end());
  size_t limit = static_cast<size_t>(kMaxStreamSeconds * s.rate) * size_t(s.channels);
  if (s.samples.size() > limit) s.samples.erase(s.samples.begin(), s.samples.begin() + (s.samples.size() - limit));
}

void Mixer::stopStream(const void* key) {
  std::lock_guard<std::mutex> hold(lock_);
  streams_.erase(key);
}

bool Mixer::voiceFrame(Voice& v, float* left, float* right) {
  const Pcm& pcm = *v.pcm;
  double step = double(pcm.rate) / kRate;
  if (v.position >= v.end) {
    if (--v.loopsLeft <= 0) return false;
    v.position = v.begin + (v.position - v.end);
  }
  size_t i = static_cast<size_t>(v.position);
  size_t next = std::min(i + 1, static_cast<size_t>(v.end) > 0 ? static_cast<size_t>(v.end) - 1 : 0);
  float t = static_cast<float>(v.position - double(i));
  auto at = [&](size_t frame, int channel) {
    return static_cast<float>(pcm.samples[frame * size_t(pcm.channels) + size_t(channel % pcm.channels)]);
  };
  *left = at(i, 0) + (at(next, 0) - at(i, 0)) * t;
  *right = at(i, 1) + (at(next, 1) - at(i, 1)) * t;
  envelopeAt(v.envelope, v.played, left, right);
  v.position += step;
  ++v.played;
  return true;
}

void Mixer::mix(int16_t* out, size_t frames) {
  std::lock_guard<std::mutex> hold(lock_);
  mixBuffer_.assign(frames * 2, 0.0f);
  float* acc = mixBuffer_.data();
  for (size_t k = 0; k < voices_.size();) {
    Voice& v = voices_[k];
    bool alive = true;
    auto own = v.owner ? gains_.find(v.owner) : gains_.end();
    for (size_t f = 0; f < frames; ++f) {
      float l = 0, r = 0;
      if (!voiceFrame(v, &l, &r)) {
        alive = false;
        break;
      }
      if (own != gains_.end()) {
        const Gains& g = own->second;
        float l2 = l * g.leftToLeft + r * g.rightToLeft;
        r = l * g.leftToRight + r * g.rightToRight;
        l = l2;
      }
      acc[f * 2] += l;
      acc[f * 2 + 1] += r;
    }
    if (alive) {
      ++k;
    } else {
      voices_.erase(voices_.begin() + static_cast<std::ptrdiff_t>(k));
    }
  }
  for (auto& entry : streams_) {
    Stream& s = entry.second;
    double step = double(s.rate) / kRate;
    size_t channels = size_t(s.channels);
    for (size_t f = 0; f < frames && s.samples.size() >= channels; ++f) {
      acc[f * 2] += s.samples[0];
      acc[f * 2 + 1] += s.samples[channels - 1];
      s.position += step;
      while (s.position >= 1 && s.samples.size() >= channels) {
        s.samples.erase(s.samples.begin(), s.samples.begin() + static_cast<std::ptrdiff_t>(channels));
        s.position -= 1;
      }
    }
  }
  Gains all;
  auto movieGains = gains_.find(nullptr);
  if (movieGains != gains_.end()) all = movieGains->second;
  float gain = static_cast<float>(volume_);
  for (size_t f = 0; f < frames; ++f) {
    float l = acc[f * 2], r = acc[f * 2 + 1];
    float mixed[2] = {(l * all.leftToLeft + r * all.rightToLeft) * gain,
                      (l * all.leftToRight + r * all.rightToRight) * gain};
    for (int c = 0; c < 2; ++c)
      out[f * 2 + c] = static_cast<int16_t>(mixed[c] > 32767 ? 32767 : mixed[c] < -32768 ? -32768 : std::lround(mixed[c]));
  }
}

}  // namespace sound
