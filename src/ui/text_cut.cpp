#include "ui/text_cut.h"

#include "runtime/text.h"

namespace ql {

std::string cutGbkText(const std::string& text, size_t maxBytes) {
  size_t end = 0;
  while (end < text.size()) {
    const bool doubleByte =
        isGbkLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size();
    const size_t next = end + (doubleByte ? 2 : 1);
    if (next > maxBytes) break;
    end = next;
  }
  return text.substr(0, end);
}

}  // namespace ql
