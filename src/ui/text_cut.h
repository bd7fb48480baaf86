// Cutting GBK text to a byte limit without splitting a double-byte character.
#pragma once
#include <cstddef>
#include <string>

namespace ql {

// The longest prefix of `text` of at most `maxBytes` bytes that does not end
// inside a double-byte character.
std::string cutGbkText(const std::string& text, size_t maxBytes);

}  // namespace ql
