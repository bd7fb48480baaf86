// A small log of what failed (a window not created, a refused save, a driver
// error), so that a fault in the field leaves a trace a user can send: the
// text file "qinglan.log" beside the program, next to its data file. The
// newest lines are kept; the file never grows past kFailureLogLimit bytes.
#pragma once
#include <cstddef>
#include <string>

namespace ql {

constexpr size_t kFailureLogLimit = 64 * 1024;

// Appends one line: the date-time, then `what` (GBK). Never fails loudly.
void logFailure(const std::string& what);

// The log's file: "qinglan.log" in the program's folder.
std::string failureLogPath();

// The log after adding `line` (which ends in CR LF): when it would pass
// `limit`, the oldest whole lines go until the rest fits in half of it.
std::string appendLogLine(const std::string& log, const std::string& line, size_t limit);

}  // namespace ql
