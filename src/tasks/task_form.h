// The rules of the task editor that need no window: the parameter prompt of
// each action, the file filter, the checks made on "确 定" with their
// messages, and how the input is stored.
#pragma once
#include <functional>
#include <string>

namespace ql {

class ConfigText;

// The parameter box's text when an action is chosen, and whether the box
// and the "选择" button take input.
struct ParameterPrompt {
  const char* text;
  bool enabled;
};
ParameterPrompt parameterPrompt(int action);

// The file dialog's filter in "name|patterns" form.
const char* parameterFileFilter(int action);

// What the picker shows for `value` in the display format of the repeat kind
// (pickerFormat), spaces included.
std::string pickerText(double value, int repeat);

// What the editor holds when "确 定" is pressed.
struct TaskInput {
  int action = 0;
  int repeat = 0;
  std::string pickerText;  // as the picker shows it, spaces included
  std::string advance;     // "执行提示": digits
  std::string parameter;   // "备注"
};

// The message of the first check the input fails, empty when it passes:
// a web address without "http://", a program file that does not exist, a
// once task whose time is not at least a second ahead of `now`.
std::string checkTaskInput(const TaskInput& input, double now,
                           const std::function<bool(const std::string&)>& fileExists);

// Writes the task's keys into `section` of taskConfig, in the stored order.
void storeTask(ConfigText& tasks, const std::string& section, const TaskInput& input);

// The picker's value for a stored task: its time text read the way the
// schedule reads it at `now`, not moved on; `now` when the text is unreadable.
double storedPickerValue(const std::string& storedTime, int repeat, double now);

}  // namespace ql
