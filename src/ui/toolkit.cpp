#include "ui/toolkit.h"

#include <commctrl.h>
#include <ole2.h>

#include <memory>
#include <utility>

#include "runtime/scoped_handles.h"
#include "ui/gdiplus_headers.h"
#include "ui/text_resources.h"
#include "ui/tooltips.h"
#include "ui/window_base.h"

namespace ql {

namespace {

using AtlAxWinInitRoutine = BOOL(WINAPI*)();
using AtlAxGetControlRoutine = HRESULT(WINAPI*)(HWND, IUnknown**);

struct Toolkit {
  ULONG_PTR gdiplusToken = 0;
  bool oleStarted = false;
  HINSTANCE module = nullptr;
  int windowsMajor = 0;
  std::unique_ptr<SkinFont> font;
  std::unique_ptr<Gdiplus::Pen> pen;
  std::unique_ptr<Gdiplus::SolidBrush> brush;
  ToolTips toolTips;
  HMODULE atl = nullptr;
  AtlAxGetControlRoutine atlGetControl = nullptr;
};

Toolkit& toolkit() {
  static Toolkit instance;
  return instance;
}

const Gdiplus::Color kDefaultInk(255, 0x26, 0x34, 0x3B);

// The face of the system's message font; the registry's GUI font when the
// system will not tell.
std::string systemFaceName() {
  // 340 bytes: the structure without the Vista padding field, which every
  // version of Windows accepts.
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
    return metrics.lfMessageFont.lfFaceName;
  char face[LF_FACESIZE] = {};
  DWORD size = sizeof(face);
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\GRE_Initialize", 0, KEY_READ,
                    &opened) == ERROR_SUCCESS) {
    ScopedRegistryKey key(opened);
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), "GUIFont.Facename", nullptr, &type,
                         reinterpret_cast<BYTE*>(face), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
      face[0] = '\0';
  }
  face[sizeof(face) - 1] = '\0';
  return face;
}

// The real version: GetVersionEx answers what the manifest claims.
int readWindowsMajorVersion() {
  using RtlGetVersionRoutine = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  auto getVersion = ntdll ? reinterpret_cast<RtlGetVersionRoutine>(
                                reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                          : nullptr;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (getVersion && getVersion(&info) == 0) return static_cast<int>(info.dwMajorVersion);
  return 0;
}

void startAtlHosting(Toolkit& kit) {
  // atl.dll is a system library that not every toolchain can link against.
  kit.atl = LoadLibraryA("atl.dll");
  if (!kit.atl) return;
  auto init = reinterpret_cast<AtlAxWinInitRoutine>(
      reinterpret_cast<void*>(GetProcAddress(kit.atl, "AtlAxWinInit")));
  kit.atlGetControl = reinterpret_cast<AtlAxGetControlRoutine>(
      reinterpret_cast<void*>(GetProcAddress(kit.atl, "AtlAxGetControl")));
  if (!init || !kit.atlGetControl || !init()) {
    kit.atlGetControl = nullptr;
    FreeLibrary(kit.atl);
    kit.atl = nullptr;
  }
}

}  // namespace

bool startToolkit() {
  Toolkit& kit = toolkit();
  if (kit.gdiplusToken) return true;
  Gdiplus::GdiplusStartupInput input;  // version 1, everything else off
  if (Gdiplus::GdiplusStartup(&kit.gdiplusToken, &input, nullptr) != Gdiplus::Ok) {
    kit.gdiplusToken = 0;
    return false;
  }
  kit.pen = std::make_unique<Gdiplus::Pen>(kDefaultInk, 1.0f);
  kit.brush = std::make_unique<Gdiplus::SolidBrush>(kDefaultInk);
  // The system face, else "宋体", else whatever sans-serif face GDI+ has:
  // text must draw even on a system without the Chinese fonts.
  SkinFontFamily family(systemFaceName());
  if (!family.valid()) family = SkinFontFamily("宋体");
  if (!family.valid()) family = SkinFontFamily::genericSansSerif();
  kit.font =
      std::make_unique<SkinFont>(family, 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  kit.windowsMajor = readWindowsMajorVersion();

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_COOL_CLASSES |
                   ICC_INTERNET_CLASSES | ICC_PAGESCROLLER_CLASS | ICC_NATIVEFNTCTL_CLASS |
                   ICC_STANDARD_CLASSES | ICC_LINK_CLASS;
  InitCommonControlsEx(&controls);
  kit.toolTips.create();

  kit.module = GetModuleHandleA(nullptr);
  // Hosted controls (the web browser) need OLE on this thread.
  kit.oleStarted = SUCCEEDED(OleInitialize(nullptr));
  startAtlHosting(kit);
  return true;
}

bool stopToolkit() {
  Toolkit& kit = toolkit();
  if (!kit.gdiplusToken) return true;
  // Windows, brushes and a hosted browser still alive would outlive what
  // they stand on.
  if (anyWindowAlive()) return false;
  // The reverse of startToolkit.
  if (kit.atl) {
    kit.atlGetControl = nullptr;
    FreeLibrary(std::exchange(kit.atl, nullptr));
  }
  if (std::exchange(kit.oleStarted, false)) OleUninitialize();
  kit.toolTips.destroy();
  kit.font.reset();
  kit.brush.reset();
  kit.pen.reset();
  Gdiplus::GdiplusShutdown(std::exchange(kit.gdiplusToken, 0));
  return true;
}

HINSTANCE toolkitModule() {
  Toolkit& kit = toolkit();
  return kit.module ? kit.module : GetModuleHandleA(nullptr);
}

int windowsMajorVersion() { return toolkit().windowsMajor; }

const SkinFont& defaultFont() {
  static const SkinFont none;
  Toolkit& kit = toolkit();
  return kit.font ? *kit.font : none;
}

Gdiplus::Pen* defaultPen() { return toolkit().pen.get(); }
Gdiplus::SolidBrush* defaultBrush() { return toolkit().brush.get(); }
ToolTips& toolTips() { return toolkit().toolTips; }

bool atlHostingAvailable() { return toolkit().atlGetControl != nullptr; }

IUnknown* atlHostedControl(HWND host) {
  Toolkit& kit = toolkit();
  IUnknown* control = nullptr;
  if (!kit.atlGetControl || !host || FAILED(kit.atlGetControl(host, &control))) return nullptr;
  return control;
}

}  // namespace ql
