#include "runtime/files.h"

#include <cstdio>

#include "runtime/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ql {

bool readWholeFile(const std::string& path, Bytes& out) {
  out.clear();
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  bool ok = true;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
  if (std::ferror(f)) ok = false;
  std::fclose(f);
  if (!ok) out.clear();
  return ok;
}

bool writeWholeFile(const std::string& path, const Bytes& data) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
  if (std::fclose(f) != 0) ok = false;
  return ok;
}

bool fileExists(const std::string& path) {
#ifdef _WIN32
  DWORD attrs = GetFileAttributesA(path.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
#else
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
#endif
}

namespace {

std::string modulePath() {
#ifdef _WIN32
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
#else
  std::string path(4096, '\0');
  ssize_t n = readlink("/proc/self/exe", &path[0], path.size());
  path.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return path;
#endif
}

// GBK-aware: the second byte of a double-byte character may be "\\".
size_t lastSeparator(const std::string& path) { return findLastSingleByte(path, "\\/"); }

}  // namespace

std::string folderOf(const std::string& path) {
  size_t at = lastSeparator(path);
  return at == std::string::npos ? std::string() : path.substr(0, at);
}

std::string programFolder() { return folderOf(modulePath()); }

std::string programFileName() {
  std::string path = modulePath();
  size_t at = lastSeparator(path);
  return at == std::string::npos ? path : path.substr(at + 1);
}

}  // namespace ql
