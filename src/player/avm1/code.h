// An action block as stored in the movie, shared by the functions made from it.
#pragma once
#include <cstdint>
#include <vector>

namespace avm1 {

struct Code {
  std::vector<uint8_t> bytes;
  int swfVersion = 0;  // decides how its text and values are read
};

}  // namespace avm1
