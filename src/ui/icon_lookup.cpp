#include "ui/icon_lookup.h"

namespace ql {

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string withoutPrefix(const std::string& path) {
  if (path.compare(0, 4, "\\\\?\\") == 0 || path.compare(0, 4, "\\\\.\\") == 0) {
    std::string rest = path.substr(4);
    // "\\?\UNC\server\share" is a network path.
    if (rest.compare(0, 4, "UNC\\") == 0) return "\\\\" + rest.substr(4);
    return rest;
  }
  return path;
}

}  // namespace

bool isNetworkPath(const std::string& path) {
  std::string plain = withoutPrefix(path);
  return plain.size() > 2 && (plain[0] == '\\' || plain[0] == '/') &&
         (plain[1] == '\\' || plain[1] == '/');
}

std::string driveRootOf(const std::string& path) {
  std::string plain = withoutPrefix(path);
  if (plain.size() >= 2 && isLetter(plain[0]) && plain[1] == ':') return plain.substr(0, 2) + "\\";
  if (!isNetworkPath(plain)) return std::string();
  // \\server\share\: the root is the share.
  size_t server = plain.find_first_of("\\/", 2);
  if (server == std::string::npos || server + 1 >= plain.size()) return std::string();
  size_t share = plain.find_first_of("\\/", server + 1);
  return (share == std::string::npos ? plain : plain.substr(0, share)) + "\\";
}

bool lookUpIconOfFile(DriveKind drive) { return drive == DriveKind::Local; }

}  // namespace ql
