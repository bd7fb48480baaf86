// An action block as stored in the movie, shared by the functions made from it.
#pragma once
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "player/avm1/value.h"

namespace avm1 {

struct Code {
  std::vector<uint8_t> bytes;
  int swfVersion = 0;  // decides how its text and values are read

  // Texts of Push and ConstantPool actions by where they stand, decoded the
  // first time they run (scripts run the same code every frame).
  struct Text {
    String text;
    size_t rawSize;  // bytes in the code, its ending zero included
  };
  mutable std::unordered_map<size_t, Text> texts;
  mutable std::unordered_map<size_t, std::shared_ptr<const std::vector<String>>> pools;
};

}  // namespace avm1
