// A synchronous HTTP GET through the system's "Microsoft.XMLHTTP" object.
#pragma once
#include <string>

namespace ql {

// The body's bytes as they came (GBK text is not converted); empty when the
// object cannot be made or any step fails. The calling thread must have COM
// initialised. Blocks until the answer is in.
std::string fetchUrl(const std::string& address);

}  // namespace ql
