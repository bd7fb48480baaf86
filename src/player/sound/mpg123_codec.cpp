#include "player/sound/mpg123_codec.h"

#include <mpg123.h>

namespace sound {

namespace {

class Mpg123Decoder final : public Mp3Decoder {
 public:
  explicit Mpg123Decoder(mpg123_handle* handle) : handle_(handle) {}
  ~Mpg123Decoder() override { mpg123_delete(handle_); }

  void decode(const uint8_t* data, size_t size, std::vector<int16_t>* out) override {
    if (mpg123_feed(handle_, data, size) != MPG123_OK) return;
    unsigned char buffer[16384];
    for (;;) {
      size_t got = 0;
      int result = mpg123_read(handle_, buffer, sizeof buffer, &got);
      for (size_t i = 0; i + 1 < got; i += 2)
        out->push_back(static_cast<int16_t>(buffer[i] | (buffer[i + 1] << 8)));
      if (result == MPG123_NEW_FORMAT) continue;
      if (result != MPG123_OK || got == 0) break;
    }
  }

 private:
  mpg123_handle* handle_;
};

class Mpg123Codec final : public Mp3Codec {
 public:
  std::unique_ptr<Mp3Decoder> open(int rate, int channels) override {
    mpg123_handle* h = mpg123_new(nullptr, nullptr);
    if (!h) return nullptr;
    mpg123_param(h, MPG123_FLAGS, MPG123_QUIET, 0);
    // Little-endian 16-bit samples at the stream's own rate and channels.
    mpg123_format_none(h);
    if (mpg123_format(h, rate, channels == 2 ? MPG123_STEREO : MPG123_MONO, MPG123_ENC_SIGNED_16) != MPG123_OK ||
        mpg123_open_feed(h) != MPG123_OK) {
      mpg123_delete(h);
      return nullptr;
    }
    return std::make_unique<Mpg123Decoder>(h);
  }
};

}  // namespace

std::unique_ptr<Mp3Codec> makeMpg123Codec() {
#if MPG123_API_VERSION < 46
  mpg123_init();
#endif
  return std::make_unique<Mpg123Codec>();
}

}  // namespace sound
