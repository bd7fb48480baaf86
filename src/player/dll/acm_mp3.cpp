#include "player/dll/acm_mp3.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace qlswf {

namespace {

class AcmMp3Decoder final : public sound::Mp3Decoder {
 public:
  explicit AcmMp3Decoder(HACMSTREAM stream) : stream_(stream), output_(kOutputBytes) {}
  ~AcmMp3Decoder() override { acmStreamClose(stream_, 0); }

  void decode(const uint8_t* data, size_t size, std::vector<int16_t>* out) override {
    pending_.insert(pending_.end(), data, data + size);
    // The codec takes what it can each time; what is left waits for more.
    while (!pending_.empty()) {
      ACMSTREAMHEADER header = {};
      header.cbStruct = sizeof header;
      header.pbSrc = pending_.data();
      header.cbSrcLength = static_cast<DWORD>(pending_.size());
      header.pbDst = output_.data();
      header.cbDstLength = static_cast<DWORD>(output_.size());
      if (acmStreamPrepareHeader(stream_, &header, 0) != 0) return;
      MMRESULT result = acmStreamConvert(stream_, &header, ACM_STREAMCONVERTF_BLOCKALIGN);
      acmStreamUnprepareHeader(stream_, &header, 0);
      if (result != 0) return;
      const int16_t* samples = reinterpret_cast<const int16_t*>(output_.data());
      out->insert(out->end(), samples, samples + header.cbDstLengthUsed / 2);
      DWORD used = std::min<DWORD>(header.cbSrcLengthUsed, static_cast<DWORD>(pending_.size()));
      pending_.erase(pending_.begin(), pending_.begin() + used);
      if (used == 0 && header.cbDstLengthUsed == 0) return;
    }
  }

 private:
  static constexpr size_t kOutputBytes = 1 << 16;
  HACMSTREAM stream_;
  std::vector<uint8_t> pending_;
  std::vector<uint8_t> output_;
};

}  // namespace

std::unique_ptr<sound::Mp3Decoder> AcmMp3Codec::open(int rate, int channels) {
  if (rate <= 0 || channels < 1 || channels > 2) return nullptr;
  MPEGLAYER3WAVEFORMAT mp3 = {};
  mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
  mp3.wfx.nChannels = static_cast<WORD>(channels);
  mp3.wfx.nSamplesPerSec = static_cast<DWORD>(rate);
  mp3.wfx.nAvgBytesPerSec = 128000 / 8;
  mp3.wfx.nBlockAlign = 1;
  mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
  mp3.wID = MPEGLAYER3_ID_MPEG;
  mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
  mp3.nBlockSize = static_cast<WORD>(144 * 128000 / rate);
  mp3.nFramesPerBlock = 1;
  mp3.nCodecDelay = 1393;
  WAVEFORMATEX pcm = {};
  pcm.wFormatTag = WAVE_FORMAT_PCM;
  pcm.nChannels = static_cast<WORD>(channels);
  pcm.nSamplesPerSec = static_cast<DWORD>(rate);
  pcm.wBitsPerSample = 16;
  pcm.nBlockAlign = static_cast<WORD>(2 * channels);
  pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;
  HACMSTREAM stream = nullptr;
  if (acmStreamOpen(&stream, nullptr, &mp3.wfx, &pcm, nullptr, 0, 0, 0) != 0 || !stream) return nullptr;
  return std::make_unique<AcmMp3Decoder>(stream);
}

}  // namespace qlswf
