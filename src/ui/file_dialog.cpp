#include "ui/file_dialog.h"

#include <commdlg.h>

namespace ql {

std::string askForFile(HWND owner, const char* title, const char* filter, DWORD extraFlags) {
  char path[MAX_PATH * 4] = {};
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.lpstrTitle = title;
  dialog.lpstrFilter = filter;
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | extraFlags;
  return GetOpenFileNameA(&dialog) ? std::string(path) : std::string();
}

}  // namespace ql
