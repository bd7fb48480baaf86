// A synchronous HTTP GET through the system's "Microsoft.XMLHTTP" object.
#pragma once
#include <string>

namespace ql {

// The body's bytes as they came (GBK text is not converted); empty when the
// object cannot be made or any step fails. Initialises COM on the calling
// thread for its own use, so any thread may call it. Blocks until the
// answer is in.
std::string fetchUrl(const std::string& address);

}  // namespace ql
