// MP3 for the native tools and tests: libmpg123.
#pragma once
#include <memory>

#include "player/sound/decode.h"

namespace sound {

std::unique_ptr<Mp3Codec> makeMpg123Codec();

}  // namespace sound
