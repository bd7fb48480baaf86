#include "tasks/task_form.h"

#include <cstdio>

#include "runtime/datetime.h"
#include "runtime/text.h"
#include "store/config_text.h"
#include "tasks/task_model.h"

namespace ql {

ParameterPrompt parameterPrompt(int action) {
  switch (action) {
    case kActionRing: return {"请输入铃声地址,选填!", true};
    case kActionOpenPage: return {"http://", true};
    case kActionRunProgram: return {"请输入文件地址,必填!", true};
    case kActionBalloon: return {"请输入提示内容,选填!", true};
    default: return {"不需要此选项!", false};
  }
}

const char* parameterFileFilter(int action) {
  return action == kActionRing ? "音乐文件(*.mp3,*.mid,*.wav)|*.mp3;*.mid;*.wav"
                               : "所有文件(*.*)|*.*";
}

std::string pickerText(double value, int repeat) {
  LocalTime t = fromOleDate(value);
  char text[80];
  switch (repeat) {
    case kRepeatOnce:
      std::snprintf(text, sizeof text, "%04d年%d月%02d日 %02d时%02d分%02d秒", t.year, t.month,
                    t.day, t.hour, t.minute, t.second);
      break;
    case kRepeatMonthly:
      std::snprintf(text, sizeof text, "%02d日 %02d时%02d分%02d秒", t.day, t.hour, t.minute,
                    t.second);
      break;
    case kRepeatHourly: std::snprintf(text, sizeof text, "%02d分%02d秒", t.minute, t.second); break;
    default:
      std::snprintf(text, sizeof text, "%02d时%02d分%02d秒", t.hour, t.minute, t.second);
      break;
  }
  return text;
}

std::string checkTaskInput(const TaskInput& input, double now,
                           const std::function<bool(const std::string&)>& fileExists) {
  if (input.action == kActionOpenPage &&
      findNoCase(input.parameter, "http://") == std::string::npos)
    return "欲打开网页地址不准确!";
  if (input.action == kActionRunProgram && !fileExists(input.parameter))
    return "欲打开文件地址不存在!";
  if (input.repeat == kRepeatOnce &&
      secondsBetween(parseDateTime(removeSpaces(input.pickerText)), now) < 1 - 1e-7)
    return "当前时间已过!";
  return {};
}

void storeTask(ConfigText& tasks, const std::string& section, const TaskInput& input) {
  tasks.setValue(section, kKeyAction, intToText(input.action));
  tasks.setValue(section, kKeyRepeat, intToText(input.repeat));
  tasks.setValue(section, kKeyTime, removeSpaces(input.pickerText));
  tasks.setValue(section, kKeyAdvance, input.advance);
  tasks.setValue(section, kKeyParameter, input.parameter);
}

double storedPickerValue(const std::string& storedTime, int repeat, double now) {
  double value = parseDateTime(dueTimeText(storedTime, repeat, fromOleDate(now)));
  return value == kEarliestDateTime ? now : value;
}

}  // namespace ql
