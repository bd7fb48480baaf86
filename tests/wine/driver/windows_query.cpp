#include "windows_query.h"

#include <cstdio>

namespace {

std::string baseName(const std::string& path) {
  size_t at = path.find_last_of("\\/");
  return at == std::string::npos ? path : path.substr(at + 1);
}

bool processMatches(HWND window, const std::string& wanted) {
  if (wanted.empty()) return true;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  std::string image = processImage(processId);
  if (image.empty()) return false;
  const std::string& candidate = wanted.find_first_of("\\/") == std::string::npos
                                     ? baseName(image) : image;
  return _stricmp(candidate.c_str(), wanted.c_str()) == 0;
}

bool matches(HWND window, const WindowFilter& filter) {
  if (filter.visibleOnly && !IsWindowVisible(window)) return false;
  if (!filter.className.empty() && windowClass(window) != filter.className) return false;
  if (!filter.title.empty() && windowTitle(window) != filter.title) return false;
  return processMatches(window, filter.process);
}

BOOL CALLBACK collect(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> topLevelWindows(const WindowFilter& filter) {
  std::vector<HWND> all, found;
  EnumWindows(collect, reinterpret_cast<LPARAM>(&all));
  for (HWND window : all)
    if (matches(window, filter)) found.push_back(window);
  return found;
}

std::vector<HWND> childWindows(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::string windowClass(HWND window) {
  char name[256] = "";
  int length = GetClassNameA(window, name, sizeof name);
  return std::string(name, length > 0 ? length : 0);
}

std::string windowTitle(HWND window) {
  // WM_GETTEXT with a time-out: a hung window must not hang the driver.
  char text[4096] = "";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, 2000, &length))
    return std::string();
  return std::string(text, length < sizeof text ? length : 0);
}

std::string processImage(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return std::string();
  char path[MAX_PATH] = "";
  DWORD length = sizeof path;
  if (!QueryFullProcessImageNameA(process, 0, path, &length)) length = 0;
  CloseHandle(process);
  return std::string(path, length);
}

std::string escapeLine(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\') escaped += "\\\\";
    else if (c == '\r') escaped += "\\r";
    else if (c == '\n') escaped += "\\n";
    else escaped += c;
  }
  return escaped;
}

std::string describeWindow(HWND window) {
  RECT rect = {0, 0, 0, 0};
  GetWindowRect(window, &rect);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  char line[512];
  std::snprintf(line, sizeof line,
                "hwnd=0x%llx pid=%lu class=%s visible=%d rect=%ld,%ld,%ld,%ld style=0x%lx "
                "exstyle=0x%lx owner=0x%llx title=",
                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(window)),
                static_cast<unsigned long>(processId), windowClass(window).c_str(),
                IsWindowVisible(window) ? 1 : 0, rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top, static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)),
                static_cast<unsigned long long>(
                    reinterpret_cast<ULONG_PTR>(GetWindow(window, GW_OWNER))));
  return line + escapeLine(windowTitle(window));
}
