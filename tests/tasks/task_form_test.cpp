#include <gtest/gtest.h>

#include "runtime/text.h"
#include "tasks/task_form.h"
#include "tasks/task_model.h"
#include "task_test_support.h"

using namespace ql;

namespace {

const double kNow = at(2026, 12, 7, 10, 40, 0);

bool onlyNotepadExists(const std::string& path) { return path == "C:\\windows\\notepad.exe"; }

std::string check(int action, int repeat, const std::string& picker, const std::string& parameter) {
  TaskInput input;
  input.action = action;
  input.repeat = repeat;
  input.pickerText = picker;
  input.parameter = parameter;
  return checkTaskInput(input, kNow, onlyNotepadExists);
}

}  // namespace

TEST(TaskForm, PromptsPerAction) {
  for (int action : {1, 2, 3, 4, 8, 9}) {
    EXPECT_STREQ(parameterPrompt(action).text, "不需要此选项!");
    EXPECT_FALSE(parameterPrompt(action).enabled);
  }
  EXPECT_STREQ(parameterPrompt(kActionRing).text, "请输入铃声地址,选填!");
  EXPECT_STREQ(parameterPrompt(kActionOpenPage).text, "http://");
  EXPECT_STREQ(parameterPrompt(kActionRunProgram).text, "请输入文件地址,必填!");
  EXPECT_STREQ(parameterPrompt(kActionBalloon).text, "请输入提示内容,选填!");
  for (int action : {0, 5, 6, 7}) EXPECT_TRUE(parameterPrompt(action).enabled);
  EXPECT_STREQ(parameterFileFilter(kActionRing), "音乐文件(*.mp3,*.mid,*.wav)|*.mp3;*.mid;*.wav");
  EXPECT_STREQ(parameterFileFilter(kActionRunProgram), "所有文件(*.*)|*.*");
}

TEST(TaskForm, ChecksInOrderWithTheirMessages) {
  const std::string daily = "11时00分00秒";
  EXPECT_EQ(check(5, 1, daily, "HTTP://Example.org"), "");
  EXPECT_EQ(check(5, 1, daily, "www.example.org"), "欲打开网页地址不准确!");
  EXPECT_EQ(check(5, 1, daily, "https://example.org"), "欲打开网页地址不准确!");
  EXPECT_EQ(check(6, 1, daily, "C:\\windows\\notepad.exe"), "");
  EXPECT_EQ(check(6, 1, daily, "请输入文件地址,必填!"), "欲打开文件地址不存在!");
  // A once task must be at least a second ahead; others never fail on time.
  EXPECT_EQ(check(0, 0, "2026年12月7日 10时40分01秒", ""), "");
  EXPECT_EQ(check(0, 0, "2026年12月7日 10时40分00秒", ""), "当前时间已过!");
  EXPECT_EQ(check(0, 0, "2026年12月7日 10时39分59秒", ""), "当前时间已过!");
  EXPECT_EQ(check(0, 0, "unreadable", ""), "当前时间已过!");
  EXPECT_EQ(check(0, 1, "08时00分00秒", ""), "");
  // The address is checked before the time.
  EXPECT_EQ(check(5, 0, "2020年1月1日 10时00分00秒", "x"), "欲打开网页地址不准确!");
}

TEST(TaskForm, StoresKeysInOrderWithoutSpaces) {
  ConfigText config;
  TaskInput input;
  input.action = 7;
  input.repeat = kRepeatMonthly;
  input.pickerText = "09日 08时30分00秒";
  input.advance = "30";
  input.parameter = "喝水";
  storeTask(config, "ID", input);
  const std::vector<ConfigText::Entry>& entries = config.entries();
  ASSERT_EQ(entries.size(), 5u);
  const char* keys[] = {"执行类型", "执行次数", "执行时间", "执行提示", "备注"};
  const char* values[] = {"7", "2", "09日08时30分00秒", "30", "喝水"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(entries[i].key, keys[i]);
    EXPECT_EQ(entries[i].value, values[i]);
  }
  // Modifying keeps the section where it is.
  config.setValue("Z", "执行类型", "1");
  input.action = 1;
  storeTask(config, "ID", input);
  EXPECT_EQ(config.sectionName(1), "ID");
  EXPECT_EQ(config.getValue("ID", "执行类型"), "1");
}

TEST(TaskForm, PickerTextFollowsTheFormatOfEachRepeatKind) {
  const double when = at(2016, 5, 9, 8, 3, 7);
  EXPECT_EQ(pickerText(when, kRepeatOnce), "2016年5月09日 08时03分07秒");
  EXPECT_EQ(pickerText(when, kRepeatMonthly), "09日 08时03分07秒");
  EXPECT_EQ(pickerText(when, kRepeatHourly), "03分07秒");
  EXPECT_EQ(pickerText(when, kRepeatDaily), "08时03分07秒");
  EXPECT_EQ(pickerText(when, kRepeatSunday), "08时03分07秒");
  // What is stored reads back as the same time.
  EXPECT_EQ(parseDateTime(removeSpaces(pickerText(when, kRepeatOnce))), when);
}

TEST(TaskForm, StoredTimesGoBackIntoThePickerUnmoved) {
  // A daily time already past today shows today, not tomorrow.
  EXPECT_EQ(storedPickerValue("08时30分00秒", kRepeatDaily, kNow), at(2026, 12, 7, 8, 30));
  EXPECT_EQ(storedPickerValue("09日08时30分00秒", kRepeatMonthly, kNow), at(2026, 12, 9, 8, 30));
  EXPECT_EQ(storedPickerValue("05分00秒", kRepeatHourly, kNow), at(2026, 12, 7, 10, 5));
  EXPECT_EQ(storedPickerValue("2016年5月09日08时30分00秒", kRepeatOnce, kNow),
            at(2016, 5, 9, 8, 30));
  EXPECT_EQ(storedPickerValue("???", kRepeatOnce, kNow), kNow);
}
