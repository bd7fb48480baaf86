// WindowBase: the wrapper of one Win32 window. It creates the window (a
// top-level "WTWindow" or a subclassed standard control), routes the window's
// messages to per-object event routines and virtual hooks, and offers the
// geometry, appearance, region, tray-icon, hot-key and message-box operations
// every window of the program uses. GUI thread only.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ql {

// Modifier-key bits handed to mouse, key and wheel routines.
constexpr int kModControl = 1;
constexpr int kModShift = 2;
constexpr int kModAlt = 4;

// Sent to a top-level window right after CreateWindowExA: runs the created
// routine, then one resized event.
constexpr UINT kMsgCreated = WM_USER + 2;  // 1026
// Callback message of the tray icon.
constexpr UINT kMsgTrayIcon = 12313;

// Event codes handed to the tray-icon routine. Button-up messages are not reported.
enum TrayEvent : int {
  kTrayLeftDown = 1,
  kTrayRightDown = 2,
  kTrayMiddleDown = 3,
  kTrayLeftDoubleClick = 4,
  kTrayRightDoubleClick = 5,
  kTrayMiddleDoubleClick = 6,
  kTrayMouseMove = 7,
  kTrayBalloonShown = 8,
  kTrayBalloonTimeout = 9,
  kTrayBalloonClicked = 10,
};

// Balloon icon kinds (the shell's NIIF_ values).
constexpr int kBalloonNone = 0, kBalloonInfo = 1, kBalloonWarning = 2, kBalloonError = 3;

// How drawBackground fills a rectangle.
enum BackgroundMode : int {
  kBackgroundBrushOnly = 0,   // the background brush
  kBackgroundPicture = 1,     // brush, then the picture unscaled at the top-left corner
  kBackgroundStretched = 2,   // brush, then the picture stretched over the rectangle
};

// The class name of the program's top-level windows.
extern const char kWindowClassName[];  // "WTWindow"

// The window whose message is being handled right now (for a routed control
// message, the control that sent it). Null outside message handling.
HWND currentMessageWindow();

// A region of the pixels of `picture` whose colour differs from
// `transparent`, built from runs of opaque pixels; null on failure.
HRGN createRegionFromPicture(HBITMAP picture, COLORREF transparent);

class WindowBase {
 public:
  WindowBase();
  // Detaches from a live window without destroying it: the window falls back
  // to its class procedure and is no longer routed to this object.
  virtual ~WindowBase();
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  // The object that wraps `window`, or null.
  static WindowBase* fromHandle(HWND window);

  HWND handle() const { return window_; }
  // True while the object has a live window.
  bool exists() const;

  // ---- Event routines (empty by default) -------------------------------
  // Mouse, key, character and wheel routines return true for "handled":
  // the message then goes no further.
  using MouseRoutine = std::function<bool(int x, int y, int keys)>;
  using KeyRoutine = std::function<bool(int key, int keys)>;

  MouseRoutine onLeftDown, onLeftUp, onLeftDoubleClick;
  MouseRoutine onRightDown, onRightUp, onMouseMove;
  std::function<void()> onFocusGained, onFocusLost;
  KeyRoutine onKeyDown, onKeyUp;
  std::function<bool(int code)> onCharacter;
  std::function<bool(int delta, int keys)> onMouseWheel;
  std::function<void(const std::vector<std::string>& paths)> onFilesDropped;
  // Called between BeginPaint and EndPaint with the area to paint.
  std::function<void(HDC dc, const RECT& area)> onPaint;
  // WM_TIMER of this window.
  std::function<void(UINT_PTR timerId)> onTimer;
  // Sees every message before the routing below; returning true ends
  // processing with `result`. For messages the toolkit has no event for.
  std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)> onMessage;

  // Top-level windows only.
  std::function<void(HWND window)> onCreated;
  std::function<bool()> onCloseRequested;  // true keeps the window open
  std::function<void()> onDestroyed;
  std::function<void(int x, int y)> onMoved;
  std::function<void(int width, int height)> onResized;  // client size
  std::function<void()> onFirstActivation, onActivated, onDeactivated;
  std::function<void()> onShown, onHidden;
  std::function<void(int event)> onTrayEvent;            // TrayEvent codes
  std::function<void(int commandId)> onMenuCommand;       // menus and accelerators
  std::function<void(int modifiers, int key)> onHotKey;

  // ---- Creation --------------------------------------------------------
  // Creates a top-level window. `created` becomes onCreated. Without an owner
  // and without `taskbarButton`, a hidden 250 x 110 window of the same class
  // becomes the owner so the window gets no taskbar button. Unless `show` is
  // false the window is shown and updated. With `modal` the owner is disabled
  // and a local message loop runs until the window is gone; the owner is then
  // re-enabled and activated. Returns whether the window was created.
  bool createTopLevel(HWND owner, const std::string& title,
                      std::function<void(HWND)> created = nullptr, bool modal = false,
                      int left = CW_USEDEFAULT, int top = CW_USEDEFAULT, int width = 380,
                      int height = 250, DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                      DWORD exStyle = 0, const char* className = kWindowClassName,
                      HACCEL accelerators = nullptr, bool show = true,
                      bool taskbarButton = false);

  // Creates a child control of `className` (WS_CHILD is always added), gives
  // it the system's default GUI font and subclasses it so its messages pass
  // through this object first.
  bool createChild(HWND parent, const char* className, const std::string& text, DWORD style,
                   int left, int top, int width, int height, DWORD exStyle = 0);

  // Destroys the window (no close request).
  void destroy();

  // ---- Geometry ----------------------------------------------------------
  // Relative to the parent's client area for children, to the screen otherwise.
  int left() const;
  int top() const;
  int width() const;
  int height() const;
  void setLeft(int left);
  void setTop(int top);
  void setWidth(int width);
  void setHeight(int height);
  void move(int left, int top, int width, int height);
  RECT clientRect() const;
  RECT windowRect() const;  // screen coordinates

  // ---- State -------------------------------------------------------------
  bool isVisible() const;
  void setVisible(bool visible);
  bool isEnabled() const;
  void setEnabled(bool enabled);
  void setFocus();
  bool hasFocus() const;
  // 0 normal, 1 minimised, 2 maximised.
  int windowState() const;
  // A show command (SW_...); 3 instead centres the window on the primary
  // screen without resizing it and shows it.
  void setWindowState(int state);
  void setRedraw(bool on);
  void invalidate(bool erase = true);
  void validate();
  void updateNow();
  // When set the window keeps its active caption while inactive.
  void setKeepActive(bool on) { keepActive_ = on; }
  bool keepActive() const { return keepActive_; }

  // ---- Styles ------------------------------------------------------------
  DWORD style() const;
  DWORD exStyle() const;
  // Sets or clears the given bits and lets the frame follow.
  void setStyleBits(DWORD bits, bool on);
  void setExStyleBits(DWORD bits, bool on);
  void setTopmost(bool on);
  bool isTopmost() const;

  // ---- Text, parent, properties, messages -----------------------------------
  std::string text() const;
  void setText(const std::string& text);
  HWND parent() const;
  void setParent(HWND parent);
  bool setProperty(const std::string& name, HANDLE value);
  HANDLE property(const std::string& name) const;
  HANDLE removeProperty(const std::string& name);
  LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  bool post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // Sends WM_CLOSE: the close-requested routine may keep the window.
  void close();

  // ---- Files, menus, cursor, class -----------------------------------------
  void acceptFiles(bool accept);
  HMENU menu() const;
  bool setMenu(HMENU menu);
  void redrawMenuBar();
  // Shown over the client area instead of the class cursor. With `owned` the
  // object destroys the cursor when it is replaced or the window ends.
  void setCursor(HCURSOR cursor, bool owned = false);
  void setClassCursor(HCURSOR cursor);
  void setClassBackground(HBRUSH brush);

  // ---- Background ----------------------------------------------------------
  void setBackgroundColor(COLORREF color);
  // A pattern brush made from `picture` (the object makes and owns the brush).
  void setBackgroundPictureBrush(HBITMAP picture);
  // The picture stays the caller's and must outlive its use here.
  void setBackgroundPicture(HBITMAP picture, int mode);
  // Fills `area` of `dc` by the background mode.
  void drawBackground(HDC dc, const RECT& area) const;

  // ---- Regions -------------------------------------------------------------
  // The window takes the region (and deletes it).
  bool setRegion(HRGN region);
  // A rounded rectangle (0, 0)-(width + 1, height + 1) with the corner diameter.
  bool setRoundRegion(int cornerDiameter);
  // Keeps only the pixels of `picture` whose colour differs from `transparent`.
  bool setRegionFromPicture(HBITMAP picture, COLORREF transparent = RGB(255, 255, 255));

  // ---- Message box ---------------------------------------------------------
  // Returns the pressed button's identifier minus 1 (OK 0, Cancel 1, ..., No 6).
  int showMessage(const std::string& text, UINT flags = MB_OK,
                  const std::string& title = "信息：");

  // ---- Tray icon -----------------------------------------------------------
  // The object owns the icons handed to it. Each returns whether the shell
  // accepted the call. Tips longer than 127 bytes are cut (never inside a
  // double-byte character).
  bool addTrayIcon(HICON icon, const std::string& tip);
  bool setTrayTip(const std::string& tip);
  bool setTrayIcon(HICON icon);
  bool showBalloon(const std::string& text, const std::string& title, int iconKind = kBalloonInfo,
                   int timeoutMs = 10000);
  bool removeTrayIcon();
  bool hasTrayIcon() const { return trayRecord_ != nullptr; }
  std::string trayTip() const;  // the tip as the shell holds it

  // ---- Hot keys --------------------------------------------------------------
  // Returns the new identifier (1, 2, ... process-wide), or 0 on failure.
  int registerHotKey(UINT modifiers, UINT key);
  bool unregisterHotKey(int id);

 protected:
  // ---- Virtual hooks, called before the matching event routine --------------
  // A true result means handled: the routine and the default procedure are skipped.
  virtual bool handleLeftDown(int x, int y, int keys);
  virtual bool handleLeftUp(int x, int y, int keys);
  virtual bool handleDoubleClick(int x, int y, int keys);
  // The base asks for a mouse-leave notification.
  virtual bool handleMouseMove(int x, int y, int keys);
  virtual void handleMouseLeave();
  virtual bool handleKeyDown(int key, int keys);
  // The base shows the object's cursor over the client area.
  virtual bool handleSetCursor(int hitTest);
  // Called after the paint routine.
  virtual bool handlePaint();
  virtual void handleMoving(RECT& rect);
  virtual void handleMove(int x, int y);
  virtual void handleSize(int sizeType, int width, int height);
  virtual bool handleFilesDropped(const std::vector<std::string>& paths);
  // The window is gone: the base releases brushes, cursor, icon and the
  // subclassing and detaches the object. Overrides must call the base.
  virtual void handleFinalDestroy();
  // A command, notification, colour, scroll or owner-draw message that this
  // control sent to its parent. Return true with `result` to answer it.
  virtual bool handleControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // The object's message routine; subclasses may extend it (call the base).
  virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The default procedure: the class's, or the control's own before subclassing.
  LRESULT callDefault(UINT message, WPARAM wParam, LPARAM lParam);
  // The background brush: the one set, else the system button-face brush.
  HBRUSH backgroundBrush() const;

 private:
  struct TrayRecord;
  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK controlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  void attach(HWND window);
  void detach();
  bool routeControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool handleTopLevel(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool modifyTray(UINT flags);
  static void runModalLoop(HWND window, HWND owner, HACCEL accelerators);
  void releaseResources();

  HWND window_ = nullptr;
  WNDPROC previousProcedure_ = nullptr;  // set for subclassed controls
  bool isTopLevel_ = false;
  bool createdDelivered_ = false;
  bool firstActivationDone_ = false;
  bool keepActive_ = false;
  bool trackingMouse_ = false;
  HWND hiddenOwner_ = nullptr;
  HWND modalOwner_ = nullptr;

  HBRUSH backgroundBrush_ = nullptr;  // null: the system button-face colour
  HBITMAP backgroundPicture_ = nullptr;
  int backgroundMode_ = kBackgroundBrushOnly;
  HCURSOR cursor_ = nullptr;
  bool cursorOwned_ = false;

  std::unique_ptr<TrayRecord> trayRecord_;
};

}  // namespace ql
