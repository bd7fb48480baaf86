// What the reference suite tests share: reading the suite's small text files.
#pragma once
#include <map>
#include <string>

namespace suite {

// Without spaces, tabs and carriage returns at either end.
std::string trim(const std::string& s);
// A known-failures list: one case a line, its folder then why; # starts a
// comment line.
std::map<std::string, std::string> readKnownFailures(const std::string& path);

}  // namespace suite
