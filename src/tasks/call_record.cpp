#include "tasks/call_record.h"

#include <windows.h>

#include <cstdio>
#include <mutex>

namespace ql {

namespace {

const std::string& recordPath() {
  static const std::string path = [] {
    char buffer[MAX_PATH * 2] = {};
    DWORD length = GetEnvironmentVariableA("QL_RECORD_SYSTEM_CALLS", buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
  }();
  return path;
}

}  // namespace

bool recordingSystemCalls() { return !recordPath().empty(); }

void recordSystemCall(const std::string& line) {
  if (!recordingSystemCalls()) return;
  static std::mutex writing;
  SYSTEMTIME time;
  GetLocalTime(&time);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02u:%02u:%02u.%03u ", time.wHour, time.wMinute, time.wSecond,
                time.wMilliseconds);
  std::lock_guard<std::mutex> lock(writing);
  if (FILE* file = std::fopen(recordPath().c_str(), "ab")) {
    std::fprintf(file, "%s%s\r\n", stamp, line.c_str());
    std::fclose(file);
  }
}

}  // namespace ql
