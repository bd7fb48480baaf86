#include "runtime/failure_log.h"

#include "runtime/datetime.h"
#include "runtime/files.h"

namespace ql {

std::string appendLogLine(const std::string& log, const std::string& line, size_t limit) {
  std::string joined = log + line;
  if (joined.size() <= limit) return joined;
  // Drop whole lines from the front; a single line too long keeps its end.
  size_t from = joined.size() - limit / 2;
  size_t lineStart = joined.find('\n', from - 1);
  from = lineStart == std::string::npos || lineStart + 1 >= joined.size() ? from : lineStart + 1;
  return joined.substr(from);
}

std::string failureLogPath() { return programFolder() + "\\qinglan.log"; }

void logFailure(const std::string& what) {
  std::string line = formatDateTime(now()) + " " + what + "\r\n";
  Bytes old;
  readWholeFile(failureLogPath(), old);
  std::string log = appendLogLine(std::string(old.begin(), old.end()), line, kFailureLogLimit);
  writeWholeFile(failureLogPath(), Bytes(log.begin(), log.end()));
}

}  // namespace ql
