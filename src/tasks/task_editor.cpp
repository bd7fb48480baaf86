// TaskEditor: the small skinned window in which a task is added or the
// selected one changed. Modal over the control window.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include "runtime/datetime.h"
#include "runtime/files.h"
#include "runtime/message_box.h"
#include "runtime/text.h"
#include "shell/app.h"
#include "skins/skin_picture.h"
#include "tasks/halo_text.h"
#include "tasks/task_form.h"
#include "tasks/task_model.h"
#include "tasks/task_page.h"
#include "ui/combo_box.h"
#include "ui/date_time_picker.h"
#include "ui/edit_box.h"
#include "ui/skin_button.h"
#include "ui/skin_draw.h"
#include "ui/skin_form.h"
#include "ui/window_base.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

constexpr int kWidth = 288, kHeight = 188;

// The labels, each on the row of its control: placed one by one rather than
// spaced out in one text, so that no font's metrics put one under a control.
struct Label {
  const char* text;
  float left, right, middle;  // the row's vertical middle
  int align;
};
const Label kLabels[] = {
    {"计划任务：", 7, 78, 48, kAlignLeft},  {"次数：", 160, 206, 48, kAlignRight},
    {"执行时间：", 7, 78, 77, kAlignLeft},  {"执行备注：", 7, 78, 109, kAlignLeft},
    {"执 行 前：", 7, 78, 140, kAlignLeft}, {"(秒)进行提示!", 114, 276, 140, kAlignLeft},
};

// Where the edit boxes sit (client pixels); the editor draws their frames.
constexpr RECT kParameterBox = {80, 101, 80 + 152, 101 + 16};
constexpr RECT kAdvanceBox = {80, 132, 80 + 30, 132 + 16};

Gdiplus::RectF frameAround(const RECT& box) {
  return Gdiplus::RectF(float(box.left - 4), float(box.top - 3), float(box.right - box.left + 8),
                        float(box.bottom - box.top + 6));
}

// A file-open dialog with a "name|patterns" filter; empty when cancelled.
std::string chooseFile(HWND owner, const std::string& filter) {
  std::string filters = replaceAll(filter, "|", std::string(1, '\0')) + std::string(2, '\0');
  char path[MAX_PATH * 4] = {};
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filters.c_str();
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_NOCHANGEDIR;
  return GetOpenFileNameA(&dialog) ? path : "";
}

class TaskEditor {
 public:
  explicit TaskEditor(const std::string& caption)
      : caption_(caption), modifyRow_(caption.rfind("修改计划", 0) == 0 ? selectedTask() : 0) {}

  void run() {
    TopLevelArgs args = modalPopupArgs(controlWindow(), caption_, 8, 300, kWidth, kHeight);
    args.created = [this](HWND window) { build(window); };
    // Enter is OK, Esc is Cancel.
    window_.onOk = [this] { accept(); };
    window_.onCancel = [this] { form_.postCloseClick(); };
    window_.createTopLevel(args);
  }

 private:
  void build(HWND window) {
    form_.attach(window, currentSkinPicture(), SkinForm::kNoTransparentColor, kCaptionClose);
    form_.setCaption(caption_);
    form_.onPaint = [](Gdiplus::Graphics& graphics, int width, int height) {
      paint(graphics, width, height);
    };

    action_.create(window, "", CBS_DROPDOWNLIST, 75, 37, 88, 168);
    for (int action = 0; action < kActionCount; ++action) action_.addItem(actionText(action));
    repeat_.create(window, "", CBS_DROPDOWNLIST, 205, 37, 68, 180);
    for (int repeat = 0; repeat < kRepeatCount; ++repeat) repeat_.addItem(repeatText(repeat));
    picker_.create(window, "", DTS_UPDOWN, 75, 66, 198, 22);
    parameter_.create(window, "", ES_AUTOHSCROLL, kParameterBox.left, kParameterBox.top,
                      kParameterBox.right - kParameterBox.left,
                      kParameterBox.bottom - kParameterBox.top, 0);
    advance_.create(window, "", ES_NUMBER, kAdvanceBox.left, kAdvanceBox.top,
                    kAdvanceBox.right - kAdvanceBox.left, kAdvanceBox.bottom - kAdvanceBox.top, 0);
    advance_.setLimit(3);

    const int width = form_.width(), height = form_.height();
    choose_.create(form_, width - 50, height - 89, 38, 18, "选择");
    ok_.create(form_, width - 144, height - 28, 62, 22, "确 定");
    ok_.setAccent(true);
    cancel_.create(form_, width - 72, height - 28, 62, 22, "取 消");
    choose_.onClick = [this](SkinElement&) { chooseParameterFile(); };
    ok_.onClick = [this](SkinElement&) { accept(); };
    cancel_.onClick = [this](SkinElement&) { form_.postCloseClick(); };

    action_.setSelectedIndex(0);
    repeat_.setSelectedIndex(0);
    picker_.setValue(now());
    applyPrompt(0);
    if (modifyRow_ > 0) loadTask();
    picker_.setFormat(pickerFormat(repeat_.selectedIndex()));
    action_.onSelectionChanged = [this](int action) { applyPrompt(action); };
    repeat_.onSelectionChanged = [this](int repeat) { picker_.setFormat(pickerFormat(repeat)); };
    action_.setFocus();
  }

  static void paint(Gdiplus::Graphics& graphics, int width, int height) {
    // Bands at the top and bottom, light frames around the edit boxes.
    fillGradient(graphics, Gdiplus::RectF(0, 20, float(width), 10), withAlpha(theme::kWhite, 150),
                 withAlpha(theme::kWhite, 0));
    fillGradient(graphics, Gdiplus::RectF(0, float(height - 36), float(width), 36),
                 withAlpha(theme::kWhite, 0), withAlpha(theme::kSurface, 200));
    for (const RECT& box : {kParameterBox, kAdvanceBox}) {
      drawRoundRect(graphics, frameAround(box), 6, theme::kWhite, 1, kRoundFill);
      drawRoundRect(graphics, frameAround(box), 6, theme::kAccent, 1, kRoundOutline);
    }
    for (const Label& label : kLabels)
      drawHaloText(graphics, label.text, "宋体", 10,
                   Gdiplus::RectF(label.left, label.middle - 11, label.right - label.left, 22),
                   theme::kText, label.align, kTextSingleLine);
  }

  // The section at the selected row, as stored.
  void loadTask() {
    const std::string section = taskConfig.sectionName(modifyRow_);
    int action = static_cast<int>(textToNumber(taskConfig.getValue(section, kKeyAction)));
    int repeat = static_cast<int>(textToNumber(taskConfig.getValue(section, kKeyRepeat)));
    action_.setSelectedIndex(action);
    repeat_.setSelectedIndex(repeat);
    applyPrompt(action_.selectedIndex());
    parameter_.setText(taskConfig.getValue(section, kKeyParameter));
    advance_.setText(taskConfig.getValue(section, kKeyAdvance));
    picker_.setValue(storedPickerValue(taskConfig.getValue(section, kKeyTime), repeat, now()));
  }

  void applyPrompt(int action) {
    ParameterPrompt prompt = parameterPrompt(action);
    parameter_.setText(prompt.text);
    parameter_.setEnabled(prompt.enabled);
    choose_.setEnabled(prompt.enabled);
  }

  void chooseParameterFile() {
    std::string file = chooseFile(window_.handle(), parameterFileFilter(action_.selectedIndex()));
    if (!file.empty()) parameter_.setText(file);
  }

  void accept() {
    if (saved_) return;  // the close is on its way
    TaskInput input;
    input.action = action_.selectedIndex();
    input.repeat = repeat_.selectedIndex();
    input.pickerText = pickerText(picker_.value(), input.repeat);
    input.advance = advance_.text();
    input.parameter = parameter_.text();
    std::string problem =
        checkTaskInput(input, now(), [](const std::string& path) { return fileExists(path); });
    if (!problem.empty()) {
      showMessageBox(window_.handle(), problem, MB_OK | MB_ICONINFORMATION);
      return;
    }
    std::string section = modifyRow_ > 0 ? taskConfig.sectionName(modifyRow_)
                                         : makeTaskId(GetTickCount(), taskConfig);
    storeTask(taskConfig, section, input);
    reloadTasks();
    refreshTaskList();
    saveTasks();
    saved_ = true;
    form_.postCloseClick();
  }

  const std::string caption_;
  const int modifyRow_;  // the task changed, 0 when adding
  bool saved_ = false;
  WindowBase window_;
  SkinForm form_;
  ComboBox action_, repeat_;
  DateTimePicker picker_;
  EditBox parameter_, advance_;
  SkinButton choose_, ok_, cancel_;
};

}  // namespace

void openTaskEditor(const std::string& caption) {
  TaskEditor editor(caption);
  editor.run();
}

}  // namespace ql
