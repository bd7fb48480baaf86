#include "suite_files.h"

#include <fstream>

namespace suite {

std::string trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r");
  size_t b = s.find_last_not_of(" \t\r");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

std::map<std::string, std::string> readKnownFailures(const std::string& path) {
  std::map<std::string, std::string> known;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    line = trim(line);
    if (line.empty() || line[0] == '#') continue;
    size_t space = line.find_first_of(" \t");
    known[line.substr(0, space)] = space == std::string::npos ? "" : trim(line.substr(space));
  }
  return known;
}

}  // namespace suite
