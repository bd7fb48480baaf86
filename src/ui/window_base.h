// WindowBase: the wrapper of one Win32 window. It creates the window (a
// top-level "WTWindow" or a subclassed standard control), routes the window's
// messages to per-object event routines and offers the geometry, appearance,
// region, tray-icon, hot-key and message-box operations every window of the
// program uses. GUI thread only.
//
// ---- How a message travels -------------------------------------------------
// Every window and control is subclassed once, with SetWindowSubclass, and
// found again through one handle-to-object registry. Each message of the
// window passes, in this order:
//   1. onMessage: the raw hook; sees every message first. True ends the
//      message with its result.
//   2. the message filter, when one is set (a SkinForm attached to the
//      window is one): it draws and hit-tests the skin. True ends the message.
//   3. command, notification, colour, scroll and owner-draw messages sent by a
//      child control go to that control's object (handleControlMessage).
//   4. the event routines: mouse, keys, paint, timer, files, then the
//      top-level events (created, close, destroyed, moved, resized, ...).
//      A mouse, key, character or wheel routine that returns true ends it.
//   5. the default procedure: the class's, or the control's own.
// WM_NCDESTROY runs the default procedure first, then tells the filter, then
// releases the object's resources and detaches it.
//
// ---- Event routines ----------------------------------------------------------
// One convention: routines are std::function members, empty by default.
// Those that return bool answer "handled": true stops the message there.
//
// ---- Dialog keys ---------------------------------------------------------------
// A window is dialog-like when it was created modal or has onOk or onCancel.
// In a dialog-like window the toolkit's message pump takes Tab, Enter and
// Esc unless the control with the focus asks for them (WM_GETDLGCODE):
//   Tab / Shift+Tab  moves the focus to the next / previous control (the
//                    filter first: a skinned form steps through its elements
//                    and child controls in reading order);
//   Enter            goes to the focused skinned element first (a button is
//                    pressed, a list opens its entry), else runs onOk;
//   Esc              runs onCancel, or without one asks to close (WM_CLOSE).
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/scoped_handles.h"

namespace ql {

class TrayIcon;
class WindowBase;

// Modifier-key bits handed to mouse, key and wheel routines.
constexpr int kModControl = 1;
constexpr int kModShift = 2;
constexpr int kModAlt = 4;

// Sent to a top-level window right after CreateWindowExA: runs the created
// routine, then one resized event.
constexpr UINT kMsgCreated = WM_USER + 2;  // 1026

// How drawBackground fills a rectangle.
enum BackgroundMode : int {
  kBackgroundBrushOnly = 0,  // the background brush
  kBackgroundPicture = 1,    // brush, then the picture unscaled at the top-left corner
  kBackgroundStretched = 2,  // brush, then the picture stretched over the rectangle
};

// The class name of the program's top-level windows.
extern const char kWindowClassName[];  // "WTWindow"

// The window whose message is being handled right now (for a routed control
// message, the control that sent it). Null outside message handling.
HWND currentMessageWindow();

// Step 2 of a window's message path. A SkinForm is one; the window keeps at
// most one filter and does not own it.
class MessageFilter {
 public:
  virtual ~MessageFilter() = default;
  // True ends the message with `result`.
  virtual bool filterMessage(WindowBase& window, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT& result) = 0;
  // Tab, Enter or Esc in a dialog-like window, before the window's own
  // handling; true when the filter used the key.
  virtual bool dialogKey(WindowBase& window, int key, int keys) = 0;
  // The window is gone, or another filter took this one's place.
  virtual void filterRemoved(WindowBase& window) = 0;
};

// What createTopLevel makes.
struct TopLevelArgs {
  HWND owner = nullptr;
  std::string title;
  // Becomes onCreated when given.
  std::function<void(HWND window)> created;
  // Disables the owner and runs a local message loop until the window is
  // gone; the owner is then enabled and activated again.
  bool modal = false;
  int left = CW_USEDEFAULT, top = CW_USEDEFAULT, width = 380, height = 250;
  DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  DWORD exStyle = 0;
  const char* className = kWindowClassName;
  HACCEL accelerators = nullptr;
  bool show = true;
  // Without an owner and without a taskbar button a hidden 250 x 110 window
  // of the same class becomes the owner; it goes when the window goes.
  bool taskbarButton = false;
};

class WindowBase {
 public:
  WindowBase();
  // Detaches from a live window without destroying it: the window falls back
  // to its own procedure and is no longer routed to this object.
  virtual ~WindowBase();
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  // The object that wraps `window`, or null.
  static WindowBase* fromHandle(HWND window);

  HWND handle() const { return window_; }
  // True while the object has a live window.
  bool exists() const;

  // ---- Event routines (empty by default) -------------------------------
  using MouseRoutine = std::function<bool(int x, int y, int keys)>;
  using KeyRoutine = std::function<bool(int key, int keys)>;

  std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)> onMessage;
  MouseRoutine onLeftDown, onLeftUp, onLeftDoubleClick;
  MouseRoutine onRightDown, onRightUp, onMouseMove;
  std::function<void()> onFocusGained, onFocusLost;
  KeyRoutine onKeyDown, onKeyUp;
  std::function<bool(int code)> onCharacter;
  std::function<bool(int delta, int keys)> onMouseWheel;
  std::function<void(const std::vector<std::string>& paths)> onFilesDropped;
  // Draws with GDI into `dc`, limited to `area`. On a plain window it runs
  // between BeginPaint and EndPaint. On a skinned window the form calls it
  // with its off-screen picture's DC, after the skin, the caption and the
  // form's own GDI+ drawing and before the elements; on a layered form the
  // pixels it changes are made opaque.
  std::function<void(HDC dc, const RECT& area)> onPaint;
  std::function<void(UINT_PTR timerId)> onTimer;

  // Top-level windows only.
  std::function<void(HWND window)> onCreated;
  std::function<bool()> onCloseRequested;  // true keeps the window open
  std::function<void()> onDestroyed;
  std::function<void(int x, int y)> onMoved;
  // Client size; not called while minimised (the client area is 0 x 0 then).
  std::function<void(int width, int height)> onResized;
  std::function<void()> onFirstActivation, onActivated, onDeactivated;
  std::function<void()> onShown, onHidden;
  std::function<void(int event)> onTrayEvent;        // TrayEvent codes (tray_icon.h)
  std::function<void(int commandId)> onMenuCommand;  // menus and accelerators
  std::function<void(int modifiers, int key)> onHotKey;
  // Dialog keys (see the top of this file).
  std::function<void()> onOk, onCancel;
  // The session is ending (log-off, shut-down): onQueryEndSession answers
  // whether it may (true when not set); onEndSession(true) comes when it does,
  // onEndSession(false) when it was called off.
  std::function<bool()> onQueryEndSession;
  std::function<void(bool ending)> onEndSession;

  // ---- Creation --------------------------------------------------------
  // Returns whether the window was created; a failure is written to the
  // failure log. Modal: returns only when the window is gone.
  bool createTopLevel(const TopLevelArgs& args);

  // Creates a child control of `className` (WS_CHILD is always added), gives
  // it the system's default GUI font and subclasses it so its messages pass
  // through this object first.
  bool createChild(HWND parent, const char* className, const std::string& text, DWORD style,
                   int left, int top, int width, int height, DWORD exStyle = 0);

  // Destroys the window (no close request).
  void destroy();

  // ---- Message filter (step 2 of the message path) ---------------------------
  // Replaces the filter; the one replaced is told. Null removes it.
  void setMessageFilter(MessageFilter* filter);
  MessageFilter* messageFilter() const { return filter_; }
  // Modal, or with onOk or onCancel.
  bool isDialogLike() const { return modal_ || onOk || onCancel; }

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
  int showMessage(const std::string& text, UINT flags = MB_OK, const std::string& title = "信息：");

  // ---- Tray icon (tray_icon.h) ------------------------------------------------
  // The window owns every icon handed to it, also when a call fails. Each
  // returns whether the shell accepted the call.
  bool addTrayIcon(HICON icon, const std::string& tip);
  bool setTrayTip(const std::string& tip);
  bool setTrayIcon(HICON icon);
  bool showBalloon(const std::string& text, const std::string& title, int iconKind = 1,
                   int timeoutMs = 10000);
  bool removeTrayIcon();
  // True while the shell holds the icon.
  bool hasTrayIcon() const;
  std::string trayTip() const;  // the tip as the shell holds it

  // ---- Hot keys --------------------------------------------------------------
  // Returns the new identifier (1, 2, ... process-wide), or 0 on failure.
  int registerHotKey(UINT modifiers, UINT key);
  bool unregisterHotKey(int id);

  // The message pump's dialog-key step (window_helpers.cpp): true when a key
  // of `message` was used by the dialog-like window it belongs to.
  static bool translateDialogKey(const MSG& message);

 protected:
  // A command, notification, colour, scroll or owner-draw message that this
  // control sent to its parent. Return true with `result` to answer it.
  virtual bool handleControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The window is gone; overrides must call the base.
  virtual void handleFinalDestroy();
  // The background brush: the one set, else the system button-face brush.
  HBRUSH backgroundBrush() const;

 private:
  static LRESULT CALLBACK classProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK subclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR id, DWORD_PTR object);
  LRESULT route(UINT message, WPARAM wParam, LPARAM lParam);
  bool routeEvent(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool routeControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool routeTopLevel(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool paint();
  bool dialogKey(int key, int keys);

  bool attach(HWND window);
  void detach();
  void releaseResources();

  HWND window_ = nullptr;
  MessageFilter* filter_ = nullptr;
  bool isTopLevel_ = false;
  bool modal_ = false;
  bool createdDelivered_ = false;
  bool firstActivationDone_ = false;
  bool keepActive_ = false;
  bool trackingMouse_ = false;
  HWND modalOwner_ = nullptr;

  ScopedBrush backgroundBrush_;  // null: the system button-face colour
  HBITMAP backgroundPicture_ = nullptr;
  int backgroundMode_ = kBackgroundBrushOnly;
  HCURSOR cursor_ = nullptr;
  ScopedCursor ownedCursor_;  // cursor_ when the object owns it

  std::unique_ptr<TrayIcon> tray_;
};

// Whether any window of the toolkit still lives.
bool anyWindowAlive();

// Removes the tray icons of every window of the process; the ways out of the
// program run it so that no dead icon stays in the tray.
void removeAllTrayIcons();

}  // namespace ql
