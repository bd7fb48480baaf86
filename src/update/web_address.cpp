#include "update/web_address.h"

#include "runtime/text.h"

namespace ql {

bool isWebAddress(const std::string& address) {
  if (findNoCase(address, "http://") != 0 && findNoCase(address, "https://") != 0) return false;
  for (unsigned char c : address)
    if (c < 0x20 || c == 0x7F) return false;
  return true;
}

}  // namespace ql
