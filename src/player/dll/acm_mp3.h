// MP3 through the audio compression manager's MPEG Layer-3 codec, which
// Windows ships (and Wine provides).
#pragma once
#include "player/sound/decode.h"

namespace qlswf {

class AcmMp3Codec final : public sound::Mp3Codec {
 public:
  std::unique_ptr<sound::Mp3Decoder> open(int rate, int channels) override;
};

}  // namespace qlswf
