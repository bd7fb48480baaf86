// Scoped Win32 handles: brush, bitmap, region, icon, cursor, memory DC, a
// window's DC, an object selected into a DC, a registry key, a COM pointer.
#pragma once
#include <windows.h>
#include <unknwn.h>

#include "runtime/scoped_handle.h"

namespace ql {

struct GdiObjectFree {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct IconFree {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct CursorFree {
  void operator()(HCURSOR cursor) const { DestroyCursor(cursor); }
};
struct MemoryDcFree {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct RegistryKeyFree {
  void operator()(HKEY key) const { RegCloseKey(key); }
};

using ScopedBrush = ScopedHandle<HBRUSH, GdiObjectFree>;
using ScopedBitmap = ScopedHandle<HBITMAP, GdiObjectFree>;
using ScopedRegion = ScopedHandle<HRGN, GdiObjectFree>;
using ScopedIcon = ScopedHandle<HICON, IconFree>;
using ScopedCursor = ScopedHandle<HCURSOR, CursorFree>;
using ScopedMemoryDc = ScopedHandle<HDC, MemoryDcFree>;
using ScopedRegistryKey = ScopedHandle<HKEY, RegistryKeyFree>;

// GetDC / ReleaseDC.
class ScopedWindowDc {
 public:
  explicit ScopedWindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ScopedWindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  ScopedWindowDc(const ScopedWindowDc&) = delete;
  ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~ScopedSelect() {
    if (previous_) SelectObject(dc_, previous_);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A COM interface pointer, released when it goes.
template <typename Interface>
class ComPointer {
 public:
  ComPointer() = default;
  ~ComPointer() { reset(); }
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  Interface* get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For calls that hand out a new reference.
  Interface** receive() {
    reset();
    return &pointer_;
  }
  void** receiveVoid() { return reinterpret_cast<void**>(receive()); }
  void reset() {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace ql
