// Gallery: a skinned window with one of each windowless element, to look at
// and for the whole-program tests, plus the window-base scenes.
//
//   gallery [--extra N] [--log PATH]
//                               the showcase: a 312 x 653 skinned form at (100, 60);
//                               N more list entries make it scroll
//   gallery form [--buttons N] [--alpha A] [--resize B] [--log PATH]
//                               a bare 360 x 240 skinned form with caption-button set N,
//                               sized by a B-pixel band along its edges when B is given
//   gallery bench [--entries N] [--repeat R] [--log PATH]
//                               times full repaints of a 312 x 653 form with an
//                               N-entry list, logs the figures and exits
//   gallery image PATH [--log PATH]
//                               loads a picture file as a SkinImage and logs its size,
//                               frames, delays and pixels; also round-trips a 32-bit
//                               bitmap and an icon with alpha
//   gallery modal|close-veto|tray|centre|region ...   window-base scenes (window_scenes.h)
//
// Facts go to the --log file as key=value lines: the window, element and
// entry rectangles (client coordinates), every form event, every resize.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ui/skin_button.h"
#include "ui/skin_check_box.h"
#include "ui/skin_draw.h"
#include "ui/skin_form.h"
#include "ui/skin_image_list.h"
#include "ui/skin_label.h"
#include "ui/skin_list_view.h"
#include "ui/skin_tab_strip.h"
#include "ui/toolkit.h"
#include "ui/window_base.h"
#include "ui/window_helpers.h"
#include "form_scenes.h"
#include "scene_support.h"
#include "window_scenes.h"

namespace {

constexpr UINT kMsgRunBenchmark = WM_APP + 10;
constexpr UINT kMsgLogLayout = WM_APP + 11;
constexpr UINT kMsgLogPaints = WM_APP + 12;

FILE* logFile = nullptr;

void fact(const std::string& key, const std::string& value) {
  if (!logFile) return;
  std::fprintf(logFile, "%s=%s\n", key.c_str(), value.c_str());
  std::fflush(logFile);
}

std::string rectText(const ql::SkinRect& r) {
  char text[64];
  std::snprintf(text, sizeof text, "%d,%d,%d,%d", r.x, r.y, r.width, r.height);
  return text;
}

using gallery::optionValue;
using gallery::topLevel;

// ---- Pictures made in code ------------------------------------------------------

bool pngEncoder(CLSID& clsid) {
  UINT count = 0, size = 0;
  Gdiplus::GetImageEncodersSize(&count, &size);
  if (size == 0) return false;
  std::vector<BYTE> buffer(size);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  Gdiplus::GetImageEncoders(count, size, encoders);
  for (UINT i = 0; i < count; ++i) {
    if (std::wstring(encoders[i].MimeType) == L"image/png") {
      clsid = encoders[i].Clsid;
      return true;
    }
  }
  return false;
}

// The picture file's bytes, as the program hands skins around.
ql::Bytes encodePng(Gdiplus::Bitmap& bitmap) {
  ql::Bytes bytes;
  CLSID png;
  IStream* stream = nullptr;
  if (!pngEncoder(png) || CreateStreamOnHGlobal(nullptr, TRUE, &stream) != S_OK) return bytes;
  if (bitmap.Save(stream, &png, nullptr) == Gdiplus::Ok) {
    STATSTG stat = {};
    LARGE_INTEGER zero = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    bytes.resize(size_t(stat.cbSize.QuadPart));
    ULONG read = 0;
    stream->Read(bytes.data(), ULONG(bytes.size()), &read);
    bytes.resize(read);
  }
  stream->Release();
  return bytes;
}

// A misty morning over blue-green hills: the program's own look.
ql::Bytes makeSkinPicture(int width, int height) {
  Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
  Gdiplus::Graphics g(&bitmap);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  ql::fillGradient(g, Gdiplus::RectF(0, 0, float(width), 150), 0xFFD4ECEF, 0xFFEFF7F8);
  ql::fillGradient(g, Gdiplus::RectF(0, 150, float(width), float(height - 150)), 0xFFF7FBFB,
                   0xFFFFFFFF);
  struct Hill {
    float base, peak, phase;
    uint32_t color;
  } hills[] = {
      {118, 52, 0.3f, 0x301B9AAA}, {118, 76, 1.9f, 0x401B9AAA}, {118, 94, 3.4f, 0x2A147A87}};
  for (const Hill& hill : hills) {
    Gdiplus::GraphicsPath path;
    std::vector<Gdiplus::PointF> points;
    points.push_back({0, hill.base});
    for (int x = 0; x <= width; x += 8) {
      float t = float(x) / float(width);
      float y = hill.peak + 14 * std::sin(t * 6.0f + hill.phase) +
                8 * std::sin(t * 13.0f + hill.phase * 2);
      points.push_back({float(x), y});
    }
    points.push_back({float(width), hill.base});
    path.AddCurve(points.data() + 1, INT(points.size() - 2));
    path.AddLine(points.back(), points.front());
    path.CloseFigure();
    Gdiplus::SolidBrush brush(ql::argbColor(hill.color));
    g.FillPath(&brush, &path);
  }
  return encodePng(bitmap);
}

// The page buttons' 48 x 48 icons: a teal tile with a white sign.
ql::SkinImage makePageIcon(int kind) {
  ql::SkinImage icon;
  icon.createEmpty(48, 48);
  Gdiplus::Graphics g(icon.get());
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  Gdiplus::GraphicsPath tile;
  ql::addRoundRect(tile, Gdiplus::RectF(4, 4, 41, 41), 12);
  Gdiplus::LinearGradientBrush fill(
      Gdiplus::RectF(4, 4, 40, 40), ql::argbColor(ql::theme::kAccentHover),
      ql::argbColor(ql::theme::kAccentPressed), Gdiplus::LinearGradientModeVertical);
  g.FillPath(&fill, &tile);
  Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
  Gdiplus::Pen pen(Gdiplus::Color(255, 255, 255, 255), 2.5f);
  if (kind == 1) {
    for (int i = 0; i < 4; ++i)
      ql::drawRoundRect(g, Gdiplus::RectF(14.0f + (i % 2) * 11, 14.0f + (i / 2) * 11, 9, 9), 3,
                        0xFFFFFFFF, 1, ql::kRoundFill);
  } else if (kind == 2) {
    Gdiplus::PointF play[] = {{19, 14}, {35, 24}, {19, 34}};
    g.FillPolygon(&white, play, 3);
  } else {
    g.DrawEllipse(&pen, Gdiplus::RectF(13, 13, 22, 22));
    g.DrawLine(&pen, 24.0f, 18.0f, 24.0f, 24.5f);
    g.DrawLine(&pen, 24.0f, 24.5f, 29.0f, 27.5f);
  }
  return icon;
}

// ---- The showcase ------------------------------------------------------------------

// The list counts its paints: a list at rest must not repaint.
class CountingList : public ql::SkinListView {
 public:
  void paint(Gdiplus::Graphics& graphics) override {
    ++paints;
    SkinListView::paint(graphics);
  }
  int paints = 0;
};

struct Showcase {
  ql::WindowBase window;
  ql::SkinForm form;
  ql::SkinButton pages[3];
  ql::SkinCheckBox listMode;
  ql::SkinTabStrip tabs;
  ql::SkinImageList icons{32, 32};
  CountingList list;
  ql::SkinLabel status;
  ql::SkinButton cancel, ok;
};

const char* const kShowcaseFiles[][2] = {
    {"记事本", "C:\\windows\\notepad.exe"},           {"注册表编辑器", "C:\\windows\\regedit.exe"},
    {"资源管理器", "C:\\windows\\explorer.exe"},      {"帮助", "C:\\windows\\winhlp32.exe"},
    {"命令提示符", "C:\\windows\\system32\\cmd.exe"}, {"Windows 文件夹", "C:\\windows"},
    {"系统配置 win.ini", "C:\\windows\\win.ini"},     {"添加项目", ""},
};

void logEvent(int code, int element, int source) {
  fact("event",
       std::to_string(code) + "," + std::to_string(element) + "," + std::to_string(source));
}

void logLayout(Showcase& s) {
  char handle[32];
  std::snprintf(handle, sizeof handle, "0x%lx",
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(s.window.handle())));
  fact("window", handle);
  RECT r = s.window.windowRect();
  fact("window-rect",
       rectText({int(r.left), int(r.top), int(r.right - r.left), int(r.bottom - r.top)}));
  fact("client", std::to_string(s.form.width()) + "," + std::to_string(s.form.height()));
  for (int i = 1; i <= s.form.elementCount(); ++i)
    fact("element." + std::to_string(i), rectText(s.form.element(i)->rect()));
  for (int i = 1; i <= s.list.entryCount(); ++i)
    fact("entry." + std::to_string(i), rectText(s.list.entryRect(i)));
  for (int i = 1; i <= s.tabs.tabCount(); ++i)
    fact("tab." + std::to_string(i), rectText(s.tabs.tabRect(i)));
  fact("selected", std::to_string(s.list.selected()));
  fact("tab", std::to_string(s.tabs.current()));
}

void buildShowcase(Showcase& s, HWND handle, int extraEntries) {
  const int width = 312, height = 653;
  s.form.attach(handle, makeSkinPicture(width, height), ql::SkinForm::kNoTransparentColor,
                ql::kDefaultCaptionButtons | ql::kCaptionSkin);
  s.form.onEvent = [](HWND, int code, int element, int source) {
    logEvent(code, element, source);
    return false;
  };
  s.form.onResized = [&s](int w, int h) {
    fact("size", std::to_string(w) + "," + std::to_string(h) + "," +
                     std::to_string(s.window.windowState()));
    s.list.move(0, 150, w - 5, h - 190);
    s.tabs.move(0, 118, w, 30);
    s.listMode.move(w - 60, 96, 52, 18);
    s.status.move(15, h - 32, w - 172, 24);
    s.ok.move(w - 139, h - 32, 62, 22);
    s.cancel.move(w - 70, h - 32, 62, 22);
  };

  const char* pageNames[] = {"应用工具", "桌面Flash", "计划任务"};
  for (int i = 0; i < 3; ++i) {
    s.pages[i].create(s.form, i * 72 + (i + 1) * 5 + 10, 35, 72, 72, pageNames[i]);
    s.pages[i].setIcon(makePageIcon(i + 1));
    s.pages[i].setTooltip(pageNames[i]);
    s.pages[i].onClick = [&s, i](ql::SkinElement&) {
      for (int k = 0; k < 3; ++k) s.pages[k].setSelected(k == i);
    };
  }
  s.pages[0].setSelected(true);

  s.listMode.create(s.form, width - 60, 96, 52, 18, "列表");
  s.listMode.setTooltip("列表显示方式");
  s.listMode.onCheckChanged = [&s](ql::SkinCheckBox&, bool checked) {
    s.icons.setIconSize(checked ? 16 : 32, checked ? 16 : 32);
    s.list.setStyle(checked ? ql::ListViewStyle::List : ql::ListViewStyle::LargeIcons);
  };

  s.tabs.create(s.form, 0, 118, width, 30);
  for (const char* name : {"桌面图标", "常用软件", "游戏娱乐", "已锁定"}) s.tabs.addTab(name);
  // The last tab refuses to open: shows the about-to-change veto.
  s.tabs.onAboutToChange = [](ql::SkinTabStrip& strip, int index) {
    bool allowed = strip.tabText(index) != "已锁定";
    if (!allowed) fact("tab-veto", std::to_string(index));
    return allowed;
  };
  s.tabs.onChanged = [](ql::SkinTabStrip&, int index) {
    fact("tab-changed", std::to_string(index));
  };
  s.tabs.setCurrent(1);

  s.list.create(s.form, 0, 150, width - 5, height - 190);
  s.list.setImageList(&s.icons);
  for (const auto& file : kShowcaseFiles) {
    int image = file[1][0] ? s.icons.add(file[1]) : 0;
    s.list.insertEntry(file[0], image, image ? ql::kDefaultEntryColor : 0xF0147A87);
  }
  for (int i = 1; i <= extraEntries; ++i)
    s.list.insertEntry("项目 " + std::to_string(i), (i - 1) % (s.icons.count()) + 1);
  s.list.setSelected(2);
  s.list.onActivate = [](ql::SkinListView& list, int index) {
    fact("activate", list.entryText(index));
  };
  s.list.onSelectionChanged = [](ql::SkinListView&, int index) {
    fact("selection", std::to_string(index));
  };

  s.status.create(s.form, 15, height - 32, width - 172, 24, "共 8 个项目，双击打开");
  s.status.setTextColor(ql::theme::kTextSecondary);
  s.ok.create(s.form, width - 139, height - 32, 62, 22, "确 定");
  s.ok.setAccent(true);
  s.cancel.create(s.form, width - 70, height - 32, 62, 22, "取 消");
  s.form.setFocusedElement(&s.list);
}

int runShowcase(const std::vector<std::string>& args) {
  int extraEntries = std::max(0, std::atoi(optionValue(args, "--extra", "0").c_str()));
  Showcase s;
  s.window.onDestroyed = [] {
    fact("closed", "1");
    PostQuitMessage(0);
  };
  s.window.onMessage = [&s](UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message == kMsgLogPaints) {
      fact("list_paints", std::to_string(s.list.paints));
      return true;
    }
    if (message != kMsgLogLayout) return false;
    logLayout(s);
    result = 0;
    return true;
  };
  if (!s.window.createTopLevel(
          topLevel("青岚桌面工具箱", 100, 60, 312, 653, WS_POPUP | WS_CLIPCHILDREN,
                   [&](HWND handle) { buildShowcase(s, handle, extraEntries); })))
    return 1;
  s.window.post(kMsgLogLayout);
  return int(ql::runMessageLoop());
}

// ---- A bare form with a chosen caption-button set -----------------------------------

int runBareForm(const std::vector<std::string>& args) {
  ql::WindowBase window;
  ql::SkinForm form;
  ql::SkinLabel label;
  int buttons = std::atoi(optionValue(args, "--buttons", "30").c_str());
  int alpha = std::atoi(optionValue(args, "--alpha", "-1").c_str());
  int resizeBorder = std::atoi(optionValue(args, "--resize", "0").c_str());
  window.onDestroyed = [] {
    fact("closed", "1");
    PostQuitMessage(0);
  };
  auto created = [&](HWND handle) {
    // The routines go in first: attaching lays the form out once already.
    form.onEvent = [](HWND, int code, int element, int source) {
      logEvent(code, element, source);
      return false;
    };
    form.onResized = [&](int w, int h) {
      fact("size", std::to_string(w) + "," + std::to_string(h) + "," +
                       std::to_string(window.windowState()));
      label.move(16, 40, w - 32, h - 56);
    };
    form.setResizeBorder(resizeBorder);
    window.onMessage = [](UINT message, WPARAM, LPARAM, LRESULT&) {
      if (message == WM_EXITSIZEMOVE) fact("exit-size-move", "1");
      return false;
    };
    form.attach(handle, makeSkinPicture(360, 240), ql::SkinForm::kNoTransparentColor, buttons,
                alpha);
    label.create(form, 16, 40, 328, 184,
                 "标题栏按钮组合：" + std::to_string(buttons) +
                     "。双击标题栏可最大化或还原（需有最大化按钮）。");
    label.setTextFlags(ql::kTextTop);
    char handleText[32];
    std::snprintf(handleText, sizeof handleText, "0x%lx",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(handle)));
    fact("window", handleText);
  };
  if (!window.createTopLevel(
          topLevel("青岚 · 窗体", 120, 120, 360, 240, WS_POPUP | WS_CLIPCHILDREN, created)))
    return 1;
  return int(ql::runMessageLoop());
}

// ---- Repaint benchmark --------------------------------------------------------------

const char* const kBenchFiles[] = {"C:\\windows\\notepad.exe",       "C:\\windows\\regedit.exe",
                                   "C:\\windows\\explorer.exe",      "C:\\windows\\winhlp32.exe",
                                   "C:\\windows\\system32\\cmd.exe", "C:\\windows"};

// The median time of one full repaint (the machine is shared, so the median
// says more than the mean).
double timeRepaints(HWND handle, int repeat) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int i = 0; i < 3; ++i) {  // warm up caches and the scaled skin
    InvalidateRect(handle, nullptr, FALSE);
    UpdateWindow(handle);
  }
  std::vector<double> times;
  for (int i = 0; i < repeat; ++i) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    InvalidateRect(handle, nullptr, FALSE);
    UpdateWindow(handle);
    QueryPerformanceCounter(&end);
    times.push_back(double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

int runBenchmark(const std::vector<std::string>& args) {
  int entries = std::atoi(optionValue(args, "--entries", "200").c_str());
  int repeat = std::max(1, std::atoi(optionValue(args, "--repeat", "40").c_str()));
  ql::WindowBase window;
  ql::SkinForm form;
  ql::SkinTabStrip tabs;
  ql::SkinImageList icons{32, 32};
  ql::SkinListView list;
  window.onDestroyed = [] { PostQuitMessage(0); };
  window.onMessage = [&](UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != kMsgRunBenchmark) return false;
    auto measure = [&](const char* key, const char* what) {
      double ms = timeRepaints(window.handle(), repeat);
      char line[200];
      std::snprintf(line, sizeof line, "%.2f", ms);
      fact(key, line);
      std::printf("full repaint, 312 x 653, %d entries, %s: %.2f ms\n", entries, what, ms);
    };
    measure("repaint-ms-large-icons", "large icons");
    icons.setIconSize(16, 16);
    list.setStyle(ql::ListViewStyle::List);
    measure("repaint-ms-list", "list");
    list.scrollTo(1 << 20);
    measure("repaint-ms-list-scrolled", "list scrolled to the end");
    // The same without the shell's icon look-ups (the toolkit's own share).
    list.setImageList(nullptr);
    measure("repaint-ms-list-no-icons", "list without icons");
    list.setStyle(ql::ListViewStyle::LargeIcons);
    list.scrollTo(0);
    measure("repaint-ms-large-icons-no-icons", "large icons without icons");
    std::fflush(stdout);
    fact("done", "1");
    window.destroy();
    result = 0;
    return true;
  };
  auto created = [&](HWND handle) {
    form.attach(handle, makeSkinPicture(312, 653));
    tabs.create(form, 0, 118, 312, 30);
    for (const char* name : {"桌面图标", "常用软件", "游戏娱乐"}) tabs.addTab(name);
    tabs.setCurrent(1);
    list.create(form, 0, 150, 307, 463);
    list.setImageList(&icons);
    for (const char* file : kBenchFiles) icons.add(file);
    for (int i = 1; i <= entries; ++i)
      list.insertEntry("项目 " + std::to_string(i),
                       (i - 1) % int(sizeof kBenchFiles / sizeof *kBenchFiles) + 1);
    list.setSelected(2);
  };
  if (!window.createTopLevel(
          topLevel("青岚 · 重绘计时", 100, 60, 312, 653, WS_POPUP | WS_CLIPCHILDREN, created)))
    return 1;
  window.post(kMsgRunBenchmark);
  return int(ql::runMessageLoop());
}

// ---- Pictures --------------------------------------------------------------------------

std::string hexPixel(uint32_t argb) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(argb));
  return text;
}

// A 2 x 2 top-down 32-bit bitmap: opaque red, half-transparent green,
// transparent, opaque blue.
HBITMAP makeAlphaBitmap() {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = -2;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  const uint32_t pixels[4] = {0xFFFF0000, 0x80008000, 0x00000000, 0xFF0000FF};  // premultiplied
  std::memcpy(bits, pixels, sizeof pixels);
  return bitmap;
}

int runImage(const std::vector<std::string>& args) {
  ql::SkinImage image;
  fact("loaded", image.loadFile(args.size() > 1 ? args[1] : std::string()) ? "1" : "0");
  fact("size", std::to_string(image.width()) + "," + std::to_string(image.height()));
  fact("frames", std::to_string(image.frameCount()));
  std::string delays;
  for (int delay : image.frameDelays())
    delays += (delays.empty() ? "" : ",") + std::to_string(delay);
  fact("delays", delays);
  for (int frame = 0; frame < image.frameCount(); ++frame) {
    image.selectFrame(frame);
    fact("frame." + std::to_string(frame), hexPixel(image.pixel(0, 0)));
  }
  fact("outside", hexPixel(image.pixel(image.width(), 0)));
  ql::SkinImage copy = image;
  fact("copy-frames", std::to_string(copy.frameCount()));

  HBITMAP bitmap = makeAlphaBitmap();
  ql::SkinImage fromBitmap;
  fact("bitmap", fromBitmap.fromBitmap(bitmap) ? "1" : "0");
  for (int i = 0; i < 4; ++i)
    fact("bitmap." + std::to_string(i), hexPixel(fromBitmap.pixel(i % 2, i / 2)));
  ICONINFO parts = {};
  parts.fIcon = TRUE;
  parts.hbmColor = bitmap;
  parts.hbmMask = CreateBitmap(2, 2, 1, 1, nullptr);
  HICON icon = CreateIconIndirect(&parts);
  ql::SkinImage fromIcon;
  fact("icon", fromIcon.fromIcon(icon) ? "1" : "0");
  for (int i = 0; i < 4; ++i)
    fact("icon." + std::to_string(i), hexPixel(fromIcon.pixel(i % 2, i / 2)));
  DestroyIcon(icon);
  DeleteObject(parts.hbmMask);
  DeleteObject(bitmap);
  ql::SkinImage empty;
  fact("empty", empty.createEmpty(3, 2)
                    ? hexPixel(empty.pixel(1, 1)) + "," + std::to_string(empty.width())
                    : "0");
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::vector<std::string> args(__argv + 1, __argv + __argc);
  if (!args.empty()) {
    int code = runWindowScene(args);
    if (code == -1) code = runFormScene(args);
    if (code != -1) return code;
  }
  std::string logPath = optionValue(args, "--log");
  if (!logPath.empty()) logFile = std::fopen(logPath.c_str(), "w");
  if (!ql::startToolkit()) return 2;
  std::string mode = args.empty() ? std::string() : args[0];
  int code;
  if (mode == "form")
    code = runBareForm(args);
  else if (mode == "bench")
    code = runBenchmark(args);
  else if (mode == "image")
    code = runImage(args);
  else
    code = runShowcase(args);
  ql::stopToolkit();
  if (logFile) std::fclose(logFile);
  return code;
}
