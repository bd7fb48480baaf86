#include "runtime/message_box.h"

#include <windows.h>

namespace ql {

int showMessageBox(void* owner, const std::string& text, unsigned flags, const std::string& title) {
  return answerFromButtonId(
      MessageBoxA(static_cast<HWND>(owner), text.c_str(), title.c_str(), flags));
}

}  // namespace ql
