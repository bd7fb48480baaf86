// Which addresses from the network may reach the shell or the browser.
#pragma once
#include <string>

namespace ql {

// True for an "http://" or "https://" address (letters in any case) that
// holds no control characters. Anything else could make the shell open a
// local program or document.
bool isWebAddress(const std::string& address);

}  // namespace ql
