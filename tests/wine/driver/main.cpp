// qldrive: acts on the program's windows the way a user or the system would,
// for the whole-program tests under Wine.
//
//   qldrive COMMAND ARG...     one command; exit code 0 when it succeeded
//   qldrive                    commands from stdin, one a line; each answer is
//                              its output lines, then ".ok" or ".error REASON"
//
// Commands (numbers decimal or 0x hex; options key=value, quotes allowed):
//   find [class=C] [title=T] [process=P] [visible=1] [timeout=MS]
//                       wait for top-level windows; one line per window
//   windows [process=P] list top-level windows
//   children HWND       list child windows
//   send HWND MSG WPARAM LPARAM [timeout=MS]   SendMessage; prints result=N
//   post HWND MSG WPARAM LPARAM
//   click HWND X Y [button=left|right] [double=1]
//                       mouse move, button down, button up at a client point
//   move HWND X Y W H [front=1]
//                       SetWindowPos; front=1 also puts it above the others
//   box [title=T] [process=P] [timeout=MS]
//                       wait for a message box: its line, text=..., button=ID TEXT
//   press HWND ID|TEXT  press a dialog's button
//   settext HWND TEXT   WM_SETTEXT (an edit box's or a dialog field's text)
//   gone HWND [timeout=MS]   wait until the window no longer exists
//   message NAME        the registered message's number: message=N
//   tray HWND           whether the shell holds that window's icon 1: icon=0|1
//   repaint HWND [count=N]   invalidates and paints the window N times (the
//                       painting waits for the window's thread); prints
//                       repaint-ms=MEDIAN MIN MAX (wall clock) and
//                       cpu-ms=MEAN (the window thread's processor time a
//                       repaint, which other programs' load does not inflate)
//   prop HWND NAME      a window property's value: value=N
//   desktop             a stand-in for the desktop's own window ("Progman"):
//                       hwnd=0x...; it lasts as long as qldrive
//   cover X Y W H       an opaque window over everything there: hwnd=0x...
//   latency HWND MS [interval=MS]
//                       for MS milliseconds, sends WM_NULL to the window
//                       again and again (every interval, 2 by default) and
//                       times the answers: count=N mean=MS max=MS late=N
//                       (late: answers slower than 50 ms) cpu=MS (the
//                       window thread's processor time over the while)
//   sleep MS
// Texts are GBK; "\", CR and LF in texts are written as \\, \r and \n.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "stand_in_windows.h"
#include "windows_query.h"

namespace {

struct Command {
  std::vector<std::string> words;
  std::map<std::string, std::string> options;
};

struct Answer {
  std::vector<std::string> lines;
  std::string error;  // empty: success
};

// Words separated by blanks; "..." groups blanks into one word; a word whose
// name part (before "=") is a plain lower-case name is an option.
Command parseCommand(const std::string& line) {
  Command command;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string word;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
      if (line[i] == '"') quoted = !quoted;
      else word += line[i];
      ++i;
    }
    size_t equals = word.find('=');
    bool isOption = equals != std::string::npos && equals > 0 &&
                    word.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == equals;
    if (isOption && !command.words.empty())
      command.options[word.substr(0, equals)] = word.substr(equals + 1);
    else
      command.words.push_back(word);
  }
  return command;
}

bool parseNumber(const std::string& text, long long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtoll(text.c_str(), &end, 0);
  return *end == 0;
}

std::string option(const Command& command, const char* name, const char* fallback = "") {
  auto found = command.options.find(name);
  return found == command.options.end() ? fallback : found->second;
}

DWORD timeoutOf(const Command& command, DWORD fallback = 10000) {
  long long value = 0;
  return parseNumber(option(command, "timeout"), value) && value >= 0 ? static_cast<DWORD>(value)
                                                                        : fallback;
}

// Word `index` as a number; false (with the answer's error set) when absent or bad.
bool numberArgument(const Command& command, size_t index, long long& value, Answer& answer) {
  if (index < command.words.size() && parseNumber(command.words[index], value)) return true;
  answer.error = "argument " + std::to_string(index) + " must be a number";
  return false;
}

bool windowArgument(const Command& command, size_t index, HWND& window, Answer& answer) {
  long long value = 0;
  if (!numberArgument(command, index, value, answer)) return false;
  window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(value));
  if (IsWindow(window)) return true;
  answer.error = "no window " + command.words[index];
  return false;
}

WindowFilter filterOf(const Command& command) {
  WindowFilter filter;
  filter.className = option(command, "class");
  filter.title = option(command, "title");
  filter.process = option(command, "process");
  filter.visibleOnly = option(command, "visible") == "1";
  return filter;
}

// Polls until `found` holds or the time is up; true when it held.
template <typename Condition>
bool waitFor(DWORD timeout, Condition found) {
  DWORD start = GetTickCount();
  for (;;) {
    if (found()) return true;
    if (GetTickCount() - start >= timeout) return false;
    Sleep(50);
  }
}

void findWindows(const Command& command, Answer& answer) {
  WindowFilter filter = filterOf(command);
  std::vector<HWND> windows;
  if (!waitFor(timeoutOf(command), [&] { return !(windows = topLevelWindows(filter)).empty(); })) {
    answer.error = "no such window";
    return;
  }
  for (HWND window : windows) answer.lines.push_back(describeWindow(window));
}

void listWindows(const Command& command, Answer& answer) {
  for (HWND window : topLevelWindows(filterOf(command)))
    answer.lines.push_back(describeWindow(window));
}

void listChildren(const Command& command, Answer& answer) {
  HWND parent;
  if (!windowArgument(command, 1, parent, answer)) return;
  for (HWND child : childWindows(parent)) {
    char id[32];
    std::snprintf(id, sizeof id, "id=%ld ", static_cast<long>(GetDlgCtrlID(child)));
    answer.lines.push_back(id + describeWindow(child));
  }
}

bool messageArguments(const Command& command, HWND& window, UINT& message, WPARAM& wParam,
                      LPARAM& lParam, Answer& answer) {
  long long values[3];
  if (!windowArgument(command, 1, window, answer)) return false;
  for (int i = 0; i < 3; ++i)
    if (!numberArgument(command, 2 + i, values[i], answer)) return false;
  message = static_cast<UINT>(values[0]);
  wParam = static_cast<WPARAM>(values[1]);
  lParam = static_cast<LPARAM>(values[2]);
  return true;
}

void sendMessage(const Command& command, Answer& answer) {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  if (!messageArguments(command, window, message, wParam, lParam, answer)) return;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, timeoutOf(command, 5000),
                           &result)) {
    answer.error = "no answer";
    return;
  }
  answer.lines.push_back("result=" + std::to_string(static_cast<long long>(result)));
}

void postMessage(const Command& command, Answer& answer) {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  if (!messageArguments(command, window, message, wParam, lParam, answer)) return;
  if (!PostMessageA(window, message, wParam, lParam)) answer.error = "post failed";
}

void click(const Command& command, Answer& answer) {
  HWND window;
  long long x = 0, y = 0;
  if (!windowArgument(command, 1, window, answer) || !numberArgument(command, 2, x, answer) ||
      !numberArgument(command, 3, y, answer))
    return;
  bool right = option(command, "button", "left") == "right";
  UINT down = right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
  UINT up = right ? WM_RBUTTONUP : WM_LBUTTONUP;
  UINT doubleClick = right ? WM_RBUTTONDBLCLK : WM_LBUTTONDBLCLK;
  WPARAM held = right ? MK_RBUTTON : MK_LBUTTON;
  LPARAM point = MAKELPARAM(static_cast<int>(x), static_cast<int>(y));
  PostMessageA(window, WM_MOUSEMOVE, 0, point);
  PostMessageA(window, down, held, point);
  PostMessageA(window, up, 0, point);
  if (option(command, "double") == "1") {
    PostMessageA(window, doubleClick, held, point);
    PostMessageA(window, up, 0, point);
  }
}

void moveWindow(const Command& command, Answer& answer) {
  HWND window;
  long long box[4];
  if (!windowArgument(command, 1, window, answer)) return;
  for (int i = 0; i < 4; ++i)
    if (!numberArgument(command, 2 + i, box[i], answer)) return;
  bool front = option(command, "front") == "1";
  if (!SetWindowPos(window, front ? HWND_TOP : nullptr, static_cast<int>(box[0]), static_cast<int>(box[1]),
                    static_cast<int>(box[2]), static_cast<int>(box[3]),
                    (front ? 0 : SWP_NOZORDER) | SWP_NOACTIVATE))
    answer.error = "SetWindowPos failed";
}

bool isButton(HWND window) { return _stricmp(windowClass(window).c_str(), "Button") == 0; }

// A button's text without its "&" accelerator marks.
std::string buttonText(HWND button) {
  std::string text;
  for (char c : windowTitle(button))
    if (c != '&') text += c;
  return text;
}

void messageBox(const Command& command, Answer& answer) {
  WindowFilter filter = filterOf(command);
  filter.className = "#32770";
  filter.visibleOnly = true;
  std::vector<HWND> boxes;
  if (!waitFor(timeoutOf(command), [&] { return !(boxes = topLevelWindows(filter)).empty(); })) {
    answer.error = "no message box";
    return;
  }
  HWND box = boxes.front();
  answer.lines.push_back(describeWindow(box));
  std::string text;
  for (HWND child : childWindows(box)) {
    // The text is the box's one static control that has text (the icon has none).
    if (_stricmp(windowClass(child).c_str(), "Static") == 0 && text.empty())
      text = windowTitle(child);
  }
  answer.lines.push_back("text=" + escapeLine(text));
  for (HWND child : childWindows(box)) {
    if (isButton(child) && IsWindowVisible(child))
      answer.lines.push_back("button=" + std::to_string(GetDlgCtrlID(child)) + " " +
                             escapeLine(buttonText(child)));
  }
}

void pressButton(const Command& command, Answer& answer) {
  HWND dialog;
  if (!windowArgument(command, 1, dialog, answer)) return;
  if (command.words.size() < 3) {
    answer.error = "which button?";
    return;
  }
  long long id = 0;
  bool byId = parseNumber(command.words[2], id);
  for (HWND child : childWindows(dialog)) {
    if (!isButton(child)) continue;
    if (byId ? GetDlgCtrlID(child) != id : buttonText(child) != command.words[2]) continue;
    // What a click on the button makes the dialog see.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                 reinterpret_cast<LPARAM>(child));
    return;
  }
  answer.error = "no button " + command.words[2];
}

void setText(const Command& command, Answer& answer) {
  HWND window;
  if (!windowArgument(command, 1, window, answer)) return;
  std::string text = command.words.size() > 2 ? command.words[2] : std::string();
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                           SMTO_NORMAL, timeoutOf(command, 5000), &result) ||
      !result)
    answer.error = "text not taken";
}

void waitGone(const Command& command, Answer& answer) {
  long long value = 0;
  if (!numberArgument(command, 1, value, answer)) return;
  HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(value));
  if (!waitFor(timeoutOf(command), [&] { return !IsWindow(window); }))
    answer.error = "still there";
}

void registeredMessage(const Command& command, Answer& answer) {
  if (command.words.size() < 2) {
    answer.error = "which message?";
    return;
  }
  UINT message = RegisterWindowMessageA(command.words[1].c_str());
  if (message == 0) answer.error = "RegisterWindowMessage failed";
  else answer.lines.push_back("message=" + std::to_string(message));
}

// tray HWND: whether the shell holds icon 1 of that window (a modification
// that changes nothing succeeds only for an icon the shell knows; the window
// itself may be long gone).
void trayIcon(const Command& command, Answer& answer) {
  long long handle = 0;
  if (!numberArgument(command, 1, handle, answer)) return;
  NOTIFYICONDATAA probe{};
  probe.cbSize = NOTIFYICONDATAA_V2_SIZE;
  probe.hWnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(handle));
  probe.uID = 1;
  answer.lines.push_back(std::string("icon=") + (Shell_NotifyIconA(NIM_MODIFY, &probe) ? "1" : "0"));
}

void repaintWindow(const Command& command, Answer& answer) {
  HWND window;
  if (!windowArgument(command, 1, window, answer)) return;
  long long count = 20;
  parseNumber(option(command, "count", "20"), count);
  count = std::max(count, 1LL);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, GetWindowThreadProcessId(window, nullptr));
  auto cpuMs = [thread] {
    FILETIME created, ended, kernel, user;
    if (!thread || !GetThreadTimes(thread, &created, &ended, &kernel, &user)) return 0.0;
    auto ticks = [](const FILETIME& t) { return double(t.dwLowDateTime) + double(t.dwHighDateTime) * 4294967296.0; };
    return (ticks(kernel) + ticks(user)) / 10000.0;
  };
  double cpuBefore = cpuMs();
  std::vector<double> times;
  for (long long i = 0; i < count; ++i) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    QueryPerformanceCounter(&end);
    times.push_back(double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart));
  }
  double cpu = (cpuMs() - cpuBefore) / double(count);
  if (thread) CloseHandle(thread);
  std::sort(times.begin(), times.end());
  char line[120];
  std::snprintf(line, sizeof line, "repaint-ms=%.2f %.2f %.2f", times[times.size() / 2], times.front(),
                times.back());
  answer.lines.push_back(line);
  std::snprintf(line, sizeof line, "cpu-ms=%.2f", cpu);
  answer.lines.push_back(line);
}

void answerWindow(HWND window, Answer& answer) {
  if (!window) {
    answer.error = "the window could not be made";
    return;
  }
  char line[64];
  std::snprintf(line, sizeof line, "hwnd=0x%llx", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(window)));
  answer.lines.push_back(line);
}

void readProperty(const Command& command, Answer& answer) {
  HWND window;
  if (!windowArgument(command, 1, window, answer)) return;
  if (command.words.size() < 3) {
    answer.error = "which property?";
    return;
  }
  ULONG_PTR value = reinterpret_cast<ULONG_PTR>(GetPropA(window, command.words[2].c_str()));
  answer.lines.push_back("value=" + std::to_string(static_cast<unsigned long long>(value)));
}

void makeCover(const Command& command, Answer& answer) {
  long long box[4];
  for (int i = 0; i < 4; ++i)
    if (!numberArgument(command, 1 + i, box[i], answer)) return;
  answerWindow(openCoverWindow(int(box[0]), int(box[1]), int(box[2]), int(box[3])), answer);
}

// How long the window's thread takes to answer, over a while: the longest
// wait is the longest time that thread was held by something else.
void measureLatency(const Command& command, Answer& answer) {
  HWND window;
  long long duration = 0, interval = 2;
  if (!windowArgument(command, 1, window, answer) || !numberArgument(command, 2, duration, answer)) return;
  parseNumber(option(command, "interval", "2"), interval);
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  auto ms = [&](const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    return double(to.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
  };
  HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, GetWindowThreadProcessId(window, nullptr));
  auto threadMs = [thread] {
    FILETIME created, ended, kernel, user;
    if (!thread || !GetThreadTimes(thread, &created, &ended, &kernel, &user)) return 0.0;
    auto ticks = [](const FILETIME& t) { return double(t.dwLowDateTime) + double(t.dwHighDateTime) * 4294967296.0; };
    return (ticks(kernel) + ticks(user)) / 10000.0;
  };
  double cpuBefore = threadMs();
  int count = 0, late = 0;
  double total = 0, longest = 0;
  do {
    LARGE_INTEGER sent, answered;
    QueryPerformanceCounter(&sent);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    QueryPerformanceCounter(&answered);
    double wait = ms(sent, answered);
    ++count;
    total += wait;
    if (wait > longest) longest = wait;
    if (wait > 50) ++late;
    Sleep(static_cast<DWORD>(interval));
    QueryPerformanceCounter(&now);
  } while (ms(start, now) < double(duration));
  double cpu = threadMs() - cpuBefore;
  if (thread) CloseHandle(thread);
  char line[160];
  std::snprintf(line, sizeof line, "count=%d mean=%.2f max=%.2f late=%d cpu=%.1f", count, total / count, longest,
                late, cpu);
  answer.lines.push_back(line);
}

Answer run(const Command& command) {
  Answer answer;
  const std::string verb = command.words.empty() ? "" : command.words[0];
  if (verb == "find") findWindows(command, answer);
  else if (verb == "windows") listWindows(command, answer);
  else if (verb == "children") listChildren(command, answer);
  else if (verb == "send") sendMessage(command, answer);
  else if (verb == "post") postMessage(command, answer);
  else if (verb == "click") click(command, answer);
  else if (verb == "move") moveWindow(command, answer);
  else if (verb == "box") messageBox(command, answer);
  else if (verb == "press") pressButton(command, answer);
  else if (verb == "settext") setText(command, answer);
  else if (verb == "gone") waitGone(command, answer);
  else if (verb == "message") registeredMessage(command, answer);
  else if (verb == "tray") trayIcon(command, answer);
  else if (verb == "repaint") repaintWindow(command, answer);
  else if (verb == "prop") readProperty(command, answer);
  else if (verb == "desktop") answerWindow(startDesktopWindow(), answer);
  else if (verb == "cover") makeCover(command, answer);
  else if (verb == "latency") measureLatency(command, answer);
  else if (verb == "sleep") {
    long long ms = 0;
    if (numberArgument(command, 1, ms, answer)) Sleep(static_cast<DWORD>(ms));
  } else answer.error = "unknown command \"" + verb + "\"";
  return answer;
}

int serve() {
  char buffer[8192];
  while (std::fgets(buffer, sizeof buffer, stdin)) {
    std::string line = buffer;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.empty()) continue;
    Command command = parseCommand(line);
    if (!command.words.empty() && command.words[0] == "quit") break;
    Answer answer = run(command);
    for (const std::string& output : answer.lines) std::printf("%s\n", output.c_str());
    if (answer.error.empty()) std::printf(".ok\n");
    else std::printf(".error %s\n", answer.error.c_str());
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Plain "\n" line ends: the reader is a Linux script.
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) return serve();
  std::string line;
  for (int i = 1; i < argc; ++i) {
    std::string word = argv[i];
    line += (word.find_first_of(" \t") == std::string::npos ? word : "\"" + word + "\"") + " ";
  }
  Answer answer = run(parseCommand(line));
  for (const std::string& output : answer.lines) std::printf("%s\n", output.c_str());
  if (answer.error.empty()) return 0;
  std::fprintf(stderr, "qldrive: %s\n", answer.error.c_str());
  return 1;
}
