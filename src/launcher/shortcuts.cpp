#include "launcher/shortcuts.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "control/page_view.h"
#include "launcher/catalogue_edits.h"
#include "launcher/launcher_page.h"
#include "runtime/message_box.h"
#include "runtime/text.h"
#include "shell/app.h"
#include "ui/file_dialog.h"
#include "ui/window_base.h"

namespace ql {

namespace {

std::string selectedTarget() {
  std::string name = selectedItemName();
  return name.empty() ? std::string() : launcherConfig.getValue(currentCategory(), name);
}

bool pathExists(const std::string& path) {
  return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool isFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void refreshAndSave() {
  refreshItems(pageView().tabs.current());
  saveCatalogue();
}

void importFolder(const std::string& folder, const std::string& category) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string file = found.cFileName;
    // A key cannot hold "=": it would split the line when the text is read back.
    std::string name = replaceAll(replaceAll(file, ".lnk", ""), "=", "-");
    launcherConfig.setValue(category, name, folder + file);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

std::string shellFolderValue(HKEY root, const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                    KEY_READ, &key) != ERROR_SUCCESS)
    return std::string();
  char value[MAX_PATH * 2] = {};
  DWORD size = sizeof value - 1, type = 0;
  LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) ? std::string(value)
                                                                          : std::string();
}

std::string environmentValue(const std::string& name) {
  char value[MAX_PATH * 2] = {};
  DWORD length = GetEnvironmentVariableA(name.c_str(), value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value) : std::string();
}

std::string lowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace

bool launchTarget(const std::string& target, const std::string& parameters, int mode) {
  int show = mode == kLaunchHidden ? SW_HIDE : mode == kLaunchMinimised ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL;
  HINSTANCE result = ShellExecuteA(nullptr, "open", target.c_str(), parameters.c_str(), "", show);
  return reinterpret_cast<INT_PTR>(result) != ERROR_FILE_NOT_FOUND;
}

void openItem() {
  std::string name = selectedItemName();
  if (name.empty()) return;
  std::string target = launcherConfig.getValue(currentCategory(), name);
  if (pathExists(target)) {
    launchTarget(target, "", kLaunchNormal);
  } else if (name == kPlaceholderItem) {
    addShortcut();
  } else if (showMessageBox(controlWindow().handle(), "当前项目已失效!是否删除？ ", MB_YESNO) ==
             kAnswerYes) {
    launcherConfig.remove(currentCategory(), &name);
    refreshAndSave();
  }
}

void openContainingFolder() {
  if (selectedItemName().empty()) return;
  launchTarget(containingFolder(selectedTarget()), "", kLaunchNormal);
}

void addShortcut() {
  std::string category = currentCategory();
  if (category.empty()) return;
  // Shortcuts are added as themselves, not as the files they point to.
  std::string path =
      askForFile(controlWindow().handle(), "添加快捷方式图标!", nullptr, OFN_NODEREFERENCELINKS);
  if (path.empty()) return;
  launcherConfig.setValue(category, itemNameForPath(path), path);
  refreshAndSave();
}

void addFolder() {
  if (currentCategory().empty()) return;
  BROWSEINFOA browse{};
  browse.hwndOwner = controlWindow().handle();
  browse.lpszTitle = "选择添加目录项目";
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_USENEWUI;
  LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
  if (!chosen) return;
  char path[MAX_PATH] = {};
  bool named = SHGetPathFromIDListA(chosen, path) != FALSE;
  CoTaskMemFree(chosen);
  if (!named || !isFolder(path)) return;
  std::string folder = path;
  if (folder.back() != '\\') folder += '\\';
  importFolderItems(folder);
  refreshAndSave();
}

void importFolderItems(const std::string& folder) {
  std::string category = currentCategory();
  if (category.empty()) return;
  if (!folder.empty() && isFolder(folder)) {
    importFolder(folder, category);
    return;
  }
  importFolder(specialFolderPath("Common Desktop") + "\\", category);
  if (!folder.empty()) return;
  char desktop[MAX_PATH] = {};
  if (SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE))
    importFolder(std::string(desktop) + "\\", category);
}

std::string specialFolderPath(const std::string& name) {
  static const char* const variables[] = {"temp",         "windir",           "userprofile",
                                          "allusersprofile", "programfiles", "commonprogramfiles",
                                          "systemdrive"};
  std::string lower = lowerAscii(name);
  for (const char* variable : variables)
    if (lower == variable) return environmentValue(name);
  if (lower == "system32") {
    std::string shell = environmentValue("ComSpec");
    size_t at = shell.rfind('\\');
    return at == std::string::npos ? std::string() : shell.substr(0, at);
  }
  return shellFolderValue(lower.compare(0, 6, "common") == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                          name);
}

void importDesktopsOnce() {
  // The list and tabs show the launcher only on its own page.
  if (pageView().pages.current() != kLauncherPage) return;
  SkinListView& list = pageView().list;
  if (list.entryCount() != 1 || list.entryText(1).compare(0, std::strlen(kPlaceholderItem),
                                                          kPlaceholderItem) != 0)
    return;
  importFolderItems("");
  std::string placeholder = kPlaceholderItem;
  launcherConfig.remove(launcherConfig.sectionName(1), &placeholder);
}

}  // namespace ql
