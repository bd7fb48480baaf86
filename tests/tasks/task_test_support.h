// Dates and task texts the task tests build.
#pragma once
#include <string>

#include "runtime/datetime.h"
#include "store/config_text.h"

namespace ql {

inline double at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  LocalTime t;
  t.year = year, t.month = month, t.day = day;
  t.hour = hour, t.minute = minute, t.second = second;
  return toOleDate(t);
}

// One stored task's section text.
inline std::string taskSection(const std::string& id, int action, int repeat,
                               const std::string& time, const std::string& advance = "",
                               const std::string& parameter = "") {
  return "[" + id + "]\r\n执行类型=" + std::to_string(action) +
         "\r\n执行次数=" + std::to_string(repeat) + "\r\n执行时间=" + time +
         "\r\n执行提示=" + advance + "\r\n备注=" + parameter + "\r\n";
}

inline ConfigText configOf(std::string text) {
  ConfigText config;
  config.loadText(text);
  return config;
}

}  // namespace ql
