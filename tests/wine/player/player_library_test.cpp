// The player window's binding and the library's deployment, under Wine:
//   player_library_test [LOG]
// Prints one line per check and exits with the number of failed checks.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "animation/compressed_block.h"
#include "animation/embedded_player_library.h"
#include "animation/flash_library.h"
#include "animation/flash_player_window.h"
#include "runtime/files.h"

namespace {

int failures = 0;
std::string scratch;  // a fresh folder of the deployment checks

void check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
}

// ---- A fake library that records what the player window asks of it. ----

struct Recorded {
  std::vector<std::string> calls;  // entry points in call order, and finds as "find X"
  std::vector<std::string> told;
  int loads = 0;
  DWORD volume = 0;
  const void* movieData = reinterpret_cast<const void*>(1);
  DWORD movieSize = 1;
  DWORD createExStyle = 0, createStyle = 0;
  int createX = 0, createY = 0, createW = 0, createH = 0;
  HWND createParent = nullptr;
  UINT lastMessage = 0;
  std::string loadedPath;
  int loadedReserved = -1;
  int menuOffValue = -1;
  bool failLoad = false;
  std::string missingEntry;
} rec;

HFPC const kFakeLibrary = reinterpret_cast<HFPC>(0x5150);

LRESULT CALLBACK fakeWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == QLSWF_MSG_LOAD_MOVIE) {
    auto* r = reinterpret_cast<const QlSwfLoadMovie*>(lp);
    rec.loadedPath = r->path;
    rec.loadedReserved = r->reserved;
    rec.lastMessage = m;
    return 0;
  }
  if (m == QLSWF_MSG_CONTEXT_MENU_OFF) {
    rec.menuOffValue = *reinterpret_cast<const int*>(lp);
    rec.lastMessage = m;
    return 0;
  }
  return DefWindowProcA(w, m, wp, lp);
}

BOOL WINAPI fakeIsInstalled() { rec.calls.push_back("FPCIsFlashInstalled"); return TRUE; }
BOOL WINAPI fakeIsTransparent() { rec.calls.push_back("FPCIsTransparentAvailable"); return TRUE; }
HFPC WINAPI fakeLoadOcx() { rec.calls.push_back("FPC_LoadRegisteredOCX"); return kFakeLibrary; }
HWND WINAPI fakeCreate(HFPC lib, DWORD ex, LPCSTR, DWORD style, int x, int y, int w, int h,
                       HWND parent, HMENU, HINSTANCE, LPVOID) {
  rec.calls.push_back(lib == kFakeLibrary ? "FPC_CreateWindowA" : "FPC_CreateWindowA(bad handle)");
  rec.createExStyle = ex;
  rec.createStyle = style;
  rec.createX = x;
  rec.createY = y;
  rec.createW = w;
  rec.createH = h;
  rec.createParent = parent;
  // A plain layered window stands in for the player.
  return CreateWindowExA(ex, "FakePlayer", "", style & ~WS_VISIBLE, x, y, w, h, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}
BOOL WINAPI fakePut(HWND, const void* data, DWORD size) {
  rec.calls.push_back("FPCPutMovieFromMemory");
  rec.movieData = data;
  rec.movieSize = size;
  return TRUE;
}
DWORD WINAPI fakeGetVolume(HFPC) { rec.calls.push_back("FPC_GetSoundVolume"); return rec.volume; }
BOOL WINAPI fakeSetVolume(HFPC, DWORD v) {
  rec.calls.push_back("FPC_SetSoundVolume");
  rec.volume = v;
  return TRUE;
}
BOOL WINAPI fakeUnload(HFPC lib) {
  rec.calls.push_back(lib == kFakeLibrary ? "FPC_UnloadCode" : "FPC_UnloadCode(bad handle)");
  return TRUE;
}

void* fakeLoad(const std::string&) {
  ++rec.loads;
  return rec.failLoad ? nullptr : reinterpret_cast<void*>(0x1000);
}

void* fakeFind(void*, const char* entry) {
  std::string name = entry;
  rec.calls.push_back("find " + name);
  if (name == rec.missingEntry) return nullptr;
  struct { const char* name; void* fn; } table[] = {
      {"FPCIsFlashInstalled", reinterpret_cast<void*>(fakeIsInstalled)},
      {"FPCIsTransparentAvailable", reinterpret_cast<void*>(fakeIsTransparent)},
      {"FPC_LoadRegisteredOCX", reinterpret_cast<void*>(fakeLoadOcx)},
      {"FPC_CreateWindowA", reinterpret_cast<void*>(fakeCreate)},
      {"FPCPutMovieFromMemory", reinterpret_cast<void*>(fakePut)},
      {"FPC_GetSoundVolume", reinterpret_cast<void*>(fakeGetVolume)},
      {"FPC_SetSoundVolume", reinterpret_cast<void*>(fakeSetVolume)},
      {"FPC_UnloadCode", reinterpret_cast<void*>(fakeUnload)},
  };
  for (auto& e : table)
    if (name == e.name) return e.fn;
  return nullptr;
}

void fakeTell(const std::string& text) { rec.told.push_back(text); }

const ql::FlashLibraryAccess kFakeAccess = {fakeLoad, fakeFind, fakeTell};

int countOf(const std::string& call) {
  int n = 0;
  for (auto& c : rec.calls) n += c == call;
  return n;
}

void checkCallsThroughTheLibrary() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = fakeWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "FakePlayer";
  RegisterClassA(&wc);
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);

  rec = Recorded();
  ql::setFlashLibraryAccess(&kFakeAccess);
  ql::FlashPlayerWindow player("C:\\nowhere\\" QLSWF_LIBRARY_NAME);
  ql::setFlashLibraryAccess(nullptr);

  // Geometry is kept even without a window.
  player.move(7, std::nullopt, 300, std::nullopt);
  check(player.left() == 7 && player.top() == 0 && player.width() == 300 && player.height() == 0,
        "move without a window keeps the given values");

  HWND window = player.create(owner, 10, 20, 640, 480, nullptr, nullptr, "cap");
  std::vector<std::string> expected = {
      "find FPCIsFlashInstalled", "FPCIsFlashInstalled", "find FPCIsTransparentAvailable",
      "FPCIsTransparentAvailable", "find FPC_LoadRegisteredOCX", "FPC_LoadRegisteredOCX",
      "find FPC_CreateWindowA", "FPC_CreateWindowA"};
  check(rec.calls == expected, "create calls the entry points in order");
  check(window && player.windowHandle() == window, "create returns the window");
  check(rec.createExStyle == WS_EX_LAYERED && rec.createStyle == (WS_POPUP | WS_VISIBLE),
        "create asks for a layered visible popup");
  check(rec.createX == 10 && rec.createY == 20 && rec.createW == 640 && rec.createH == 480 &&
            rec.createParent == owner,
        "create passes the rectangle and the owner");
  check(rec.lastMessage == QLSWF_MSG_CONTEXT_MENU_OFF && rec.menuOffValue == 0,
        "create turns the right-click menu off with a 0");
  check(player.caption() == "cap", "create sets the caption");
  check(player.left() == 10 && player.height() == 480, "create stores the geometry");

  check(player.volume(150, true) == 100 && rec.volume == 65500, "volume 150 sets 100 (65500)");
  check(player.volume(-5, true) == 0 && rec.volume == 0, "volume -5 sets 0");
  check(player.volume(37, true) == 37 && rec.volume == 37 * 655, "volume 37 sets 24235");
  rec.volume = 65535;
  check(player.volume() == 100, "volume reads 65535 as 100");
  rec.volume = 1309;
  check(player.volume() == 1, "volume truncates 1309 to 1");

  player.putMovieFromMemory({});
  check(rec.movieData == nullptr && rec.movieSize == 0, "empty bytes pass null and 0");
  std::vector<unsigned char> bytes = {'F', 'W', 'S'};
  player.putMovieFromMemory(bytes);
  check(rec.movieData == bytes.data() && rec.movieSize == 3, "bytes pass their address and size");

  player.loadMovie("D:\\动画\\a.swf");
  check(rec.lastMessage == QLSWF_MSG_LOAD_MOVIE && rec.loadedPath == "D:\\动画\\a.swf" &&
            rec.loadedReserved == 0,
        "loadMovie sends the path record");
  player.unloadMovie();
  check(rec.loadedPath == "FALSE", "unloadMovie sends FALSE");

  player.setClickThrough(true);
  LONG ex = GetWindowLongA(window, GWL_EXSTYLE);
  check((ex & WS_EX_LAYERED) && (ex & WS_EX_TRANSPARENT), "click-through on: layered, transparent");
  player.setClickThrough(false);
  ex = GetWindowLongA(window, GWL_EXSTYLE);
  check((ex & WS_EX_LAYERED) && !(ex & WS_EX_TRANSPARENT), "click-through off: still layered");
  player.setTopmost(true);
  check((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, "setTopmost(true)");
  // Wine keeps an owned window topmost when its owner is the next window down;
  // on a desktop other windows lie between the player and its owner.
  HWND bystander = CreateWindowExA(0, "STATIC", "bystander", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, nullptr, nullptr);
  SetWindowPos(bystander, window, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  player.setTopmost(false);
  check(!(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST), "setTopmost(false)");
  DestroyWindow(bystander);

  player.left(50, true);
  RECT r;
  GetWindowRect(window, &r);
  check(r.left == 50 && r.top == 20 && r.right - r.left == 640, "left(50) moves the window");

  player.destroy();
  check(!IsWindow(window) && player.windowHandle() == nullptr, "destroy removes the window");
  check(countOf("FPC_UnloadCode") == 1, "destroy unloads the library handle");

  bool boundOnce = true;
  for (const char* e : {"FPC_SetSoundVolume", "FPC_GetSoundVolume", "FPCPutMovieFromMemory"})
    boundOnce = boundOnce && countOf(std::string("find ") + e) == 1;
  check(boundOnce && rec.loads == 1, "each entry point is bound once, the library loaded once");
  check(rec.told.empty(), "nothing told while all is there");
  DestroyWindow(owner);
}

void checkMissingLibraryAndEntry() {
  rec = Recorded();
  rec.failLoad = true;
  ql::setFlashLibraryAccess(&kFakeAccess);
  ql::FlashPlayerWindow noLibrary("C:\\nowhere\\" QLSWF_LIBRARY_NAME);
  rec.missingEntry = "FPC_CreateWindowA";
  ql::FlashPlayerWindow noEntry("C:\\nowhere\\" QLSWF_LIBRARY_NAME);
  ql::setFlashLibraryAccess(nullptr);

  check(noLibrary.create(nullptr, 0, 0, 100, 100) == nullptr, "no library: no window");
  noLibrary.volume(50, true);
  noLibrary.putMovieFromMemory({1, 2});
  check(rec.told.size() == 1 && rec.told[0] == "同目录下无法找到DLL文件:\"" QLSWF_LIBRARY_NAME "\".请与作者联系.",
        "no library: told once, with the file's name");
  check(rec.loads == 1, "no library: loading is tried once");

  rec.failLoad = false;
  rec.told.clear();
  check(noEntry.create(nullptr, 0, 0, 100, 100) == nullptr, "missing entry: no window");
  check(rec.told.size() == 1 &&
            rec.told[0] == "无法定位DLL文件:\"" QLSWF_LIBRARY_NAME "\"当中的\"FPC_CreateWindowA\"函数.",
        "missing entry: told with the entry's name");
}

// Whatever the bytes, the window takes them, shows nothing and lives on.
void checkBrokenMovies(ql::FlashPlayerWindow& player) {
  std::vector<std::vector<unsigned char>> movies = {
      {},
      {'F', 'W', 'S'},
      {'F', 'W', 'S', 8, 0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0x00},  // claims 4 GB
      {'C', 'W', 'S', 8, 0x00, 0x10, 0x00, 0x00, 0x78, 0x9C, 0x01, 0x02},  // bad zlib
      {'Z', 'W', 'S', 13, 0x20, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
  };
  std::vector<unsigned char> noise(5000);
  uint32_t x = 7;
  for (auto& b : noise) b = static_cast<unsigned char>((x = x * 1664525 + 1013904223) >> 24);
  movies.push_back(noise);
  noise[0] = 'F', noise[1] = 'W', noise[2] = 'S', noise[3] = 10;
  noise[4] = 0x88, noise[5] = 0x13, noise[6] = 0, noise[7] = 0;  // a plausible length
  movies.push_back(noise);
  for (const auto& movie : movies) player.putMovieFromMemory(movie);
  player.loadMovie(scratch + "\no such movie.swf");
  player.loadMovie("");
  player.unloadMovie();
  MoveWindow(player.windowHandle(), 0, 0, 1, 1, TRUE);
  MoveWindow(player.windowHandle(), 0, 0, 0, 0, TRUE);
  check(IsWindow(player.windowHandle()) != FALSE, "broken, empty and missing movies are taken quietly");
}

// In a dialog, the window asks for characters and arrows; Enter, Esc and Tab
// stay the dialog's while no input field of the movie has the focus.
void checkDialogCode(ql::FlashPlayerWindow& player) {
  LRESULT code = SendMessageA(player.windowHandle(), WM_GETDLGCODE, 0, 0);
  check(code == (DLGC_WANTCHARS | DLGC_WANTARROWS), "WM_GETDLGCODE wants characters and arrows");
}

// ---- Deployment into scratch folders standing for the real ones. ----

std::string deniedFolder;

bool denyOne(const std::string& folder) { return folder != deniedFolder; }

const FILETIME kOldTime = {0x12345678, 0x01C00000};

void setOldTime(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFileTime(file, nullptr, nullptr, &kOldTime);
  CloseHandle(file);
}

bool hasOldTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
         CompareFileTime(&data.ftLastWriteTime, &kOldTime) == 0;
}

std::string makeFolder(const std::string& name) {
  std::string path = scratch + "\\" + name;
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

void checkDeployment() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  // Wine hands out the same process ids run after run: the clock makes it new.
  scratch = std::string(temp) + "qlswf-deploy-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(GetTickCount64());
  CreateDirectoryA(scratch.c_str(), nullptr);
  ql::Bytes library = ql::unpackBlock(ql::kEmbeddedPlayerLibrary, ql::kEmbeddedPlayerLibrarySize);
  check(library.size() > 4096 && library[0] == 'M' && library[1] == 'Z',
        "the embedded block unpacks to a program file");

  // The carried library already there: used as it is, not written again.
  std::string win0 = makeFolder("win0"), prog0 = makeFolder("prog0");
  ql::writeWholeFile(prog0 + "\\" QLSWF_LIBRARY_NAME, library);
  setOldTime(prog0 + "\\" QLSWF_LIBRARY_NAME);
  std::string path = ql::installFlashLibrary({win0, prog0}, ql::kEmbeddedPlayerLibrary,
                                             ql::kEmbeddedPlayerLibrarySize);
  check(path == prog0 + "\\" QLSWF_LIBRARY_NAME && hasOldTime(path) && !ql::fileExists(win0 + "\\" QLSWF_LIBRARY_NAME),
        "the carried library already there is used and left as it is");

  // Another copy (an older program's, or a damaged one): replaced in place.
  std::string win1 = makeFolder("win1"), prog1 = makeFolder("prog1");
  ql::Bytes junk = {'j', 'u', 'n', 'k'};
  ql::writeWholeFile(prog1 + "\\" QLSWF_LIBRARY_NAME, junk);
  ql::writeWholeFile(win1 + "\\" QLSWF_LIBRARY_NAME, junk);
  path = ql::installFlashLibrary({win1, prog1}, ql::kEmbeddedPlayerLibrary,
                                 ql::kEmbeddedPlayerLibrarySize);
  ql::Bytes now;
  ql::readWholeFile(win1 + "\\" QLSWF_LIBRARY_NAME, now);
  check(path == win1 + "\\" QLSWF_LIBRARY_NAME && now == library && !ql::fileExists(path + ".part"),
        "another copy is replaced by the carried library");

  // Another copy that is loaded (in use) is passed over for the next folder.
  std::string win6 = makeFolder("win6"), prog6 = makeFolder("prog6");
  ql::Bytes older = library;
  older.push_back(0);  // one byte past the image: still loads, but is not the carried library
  ql::writeWholeFile(win6 + "\\" QLSWF_LIBRARY_NAME, older);
  HMODULE inUse = LoadLibraryA((win6 + "\\" QLSWF_LIBRARY_NAME).c_str());
  check(inUse != nullptr, "an older copy loads");
  path = ql::installFlashLibrary({win6, prog6}, ql::kEmbeddedPlayerLibrary,
                                 ql::kEmbeddedPlayerLibrarySize);
  ql::readWholeFile(win6 + "\\" QLSWF_LIBRARY_NAME, now);
  check(path == prog6 + "\\" QLSWF_LIBRARY_NAME && now == older, "a copy in use is passed over, untouched");
  FreeLibrary(inUse);

  // Held open by another program without leave to replace it: passed over too.
  std::string win7 = makeFolder("win7"), prog7 = makeFolder("prog7");
  ql::writeWholeFile(win7 + "\\" QLSWF_LIBRARY_NAME, junk);
  HANDLE held = CreateFileA((win7 + "\\" QLSWF_LIBRARY_NAME).c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  path = ql::installFlashLibrary({win7, prog7}, ql::kEmbeddedPlayerLibrary,
                                 ql::kEmbeddedPlayerLibrarySize);
  CloseHandle(held);
  ql::readWholeFile(win7 + "\\" QLSWF_LIBRARY_NAME, now);
  check(path == prog7 + "\\" QLSWF_LIBRARY_NAME && now == junk && !ql::fileExists(win7 + "\\" QLSWF_LIBRARY_NAME ".part"),
        "a copy that cannot be replaced is passed over, untouched");

  // Other copies everywhere and no folder open to us: nothing to load.
  std::string win8 = makeFolder("win8");
  ql::writeWholeFile(win8 + "\\" QLSWF_LIBRARY_NAME, junk);
  deniedFolder = win8;
  ql::setFolderWritableCheck(denyOne);
  path = ql::installFlashLibrary({win8}, ql::kEmbeddedPlayerLibrary, ql::kEmbeddedPlayerLibrarySize);
  ql::setFolderWritableCheck(nullptr);
  check(path.empty(), "a copy that is not the carried library is never handed out");

  // Absent, Windows folder writable: installed there, the exact bytes.
  std::string win2 = makeFolder("win2"), prog2 = makeFolder("prog2");
  path = ql::installFlashLibrary({win2, prog2}, ql::kEmbeddedPlayerLibrary,
                                 ql::kEmbeddedPlayerLibrarySize);
  ql::readWholeFile(win2 + "\\" QLSWF_LIBRARY_NAME, now);
  check(path == win2 + "\\" QLSWF_LIBRARY_NAME && now == library, "absent: installed in the Windows folder");
  check(!ql::fileExists(win2 + "\\" QLSWF_LIBRARY_NAME ".part"), "no partial file is left behind");

  // Absent, Windows folder denied: beside the program, and it loads from there.
  std::string win3 = makeFolder("win3"), prog3 = makeFolder("prog3");
  deniedFolder = win3;
  ql::setFolderWritableCheck(denyOne);
  path = ql::installFlashLibrary({win3, prog3}, ql::kEmbeddedPlayerLibrary,
                                 ql::kEmbeddedPlayerLibrarySize);
  ql::setFolderWritableCheck(nullptr);
  ql::readWholeFile(prog3 + "\\" QLSWF_LIBRARY_NAME, now);
  check(path == prog3 + "\\" QLSWF_LIBRARY_NAME && now == library && !ql::fileExists(win3 + "\\" QLSWF_LIBRARY_NAME),
        "Windows folder denied: installed beside the program");
  {
    ql::FlashPlayerWindow player(path);
    HWND window = player.create(nullptr, 0, 0, 64, 48);
    check(window != nullptr, "the library installed beside the program plays");
    check(player.volume(150, true) == 100 && player.volume() == 100,
          "the real library keeps the volume (150 -> 100)");
    check(player.volume(-5, true) == 0 && player.volume() == 0,
          "the real library keeps the volume (-5 -> 0)");
    checkBrokenMovies(player);
    checkDialogCode(player);
    player.destroy();
  }

  // Nowhere writable: nothing installed, empty path.
  std::string win4 = makeFolder("win4");
  deniedFolder = win4;
  ql::setFolderWritableCheck(denyOne);
  path = ql::installFlashLibrary({win4}, ql::kEmbeddedPlayerLibrary, ql::kEmbeddedPlayerLibrarySize);
  ql::setFolderWritableCheck(nullptr);
  check(path.empty() && !ql::fileExists(win4 + "\\" QLSWF_LIBRARY_NAME), "nowhere writable: nothing installed");

  // A broken block installs nothing, and vouches for no copy already there.
  std::string win5 = makeFolder("win5"), prog5 = makeFolder("prog5");
  ql::writeWholeFile(prog5 + "\\" QLSWF_LIBRARY_NAME, library);
  const uint8_t broken[] = {0x0D, 0x0F, 0x3E, 0x03, 9, 0, 0, 0, 1, 2, 3};
  check(ql::installFlashLibrary({win5, prog5}, broken, sizeof broken).empty() &&
            !ql::fileExists(win5 + "\\" QLSWF_LIBRARY_NAME),
        "a broken block installs nothing");

  // Not loadable at all: no window, told once, and we are still here.
  rec = Recorded();
  ql::FlashLibraryAccess realButQuiet = ql::systemFlashLibraryAccess();
  realButQuiet.tell = fakeTell;
  ql::setFlashLibraryAccess(&realButQuiet);
  ql::FlashPlayerWindow unusable(prog1 + "\\" QLSWF_LIBRARY_NAME);  // the "junk" file
  ql::FlashPlayerWindow missing("");                        // nothing installed anywhere
  ql::setFlashLibraryAccess(nullptr);
  check(unusable.create(nullptr, 0, 0, 64, 48) == nullptr && unusable.windowHandle() == nullptr,
        "an unloadable library gives no window");
  check(missing.create(nullptr, 0, 0, 64, 48) == nullptr, "no library path gives no window");
  unusable.volume(70, true);
  unusable.setTopmost(true);
  unusable.setClickThrough(true);
  check(rec.told.size() == 2, "each player told once, and the program goes on");
}

}  // namespace

int main() {
  checkCallsThroughTheLibrary();
  checkMissingLibraryAndEntry();
  checkDeployment();
  std::printf("%d failed\n", failures);
  return failures;
}
