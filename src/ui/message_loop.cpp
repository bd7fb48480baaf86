#include "ui/message_loop.h"

#include <ole2.h>

#include "ui/toolkit.h"

namespace ql {

namespace {

// A keyboard message inside a hosted ATL control (the web browser) goes to
// the control's own accelerator handling first, so that its Tab, arrows and
// shortcuts work. True when the control consumed it.
bool translateInAtlControl(MSG& message) {
  char className[16];
  for (HWND window = message.hwnd; window; window = GetParent(window)) {
    if (!GetClassNameA(window, className, sizeof(className)) ||
        lstrcmpA(className, "AtlAxWin") != 0)
      continue;
    IUnknown* control = atlHostedControl(window);
    if (!control) return false;
    IOleInPlaceActiveObject* active = nullptr;
    bool consumed = false;
    if (SUCCEEDED(control->QueryInterface(IID_IOleInPlaceActiveObject,
                                          reinterpret_cast<void**>(&active))) &&
        active) {
      consumed = active->TranslateAccelerator(&message) == S_OK;
      active->Release();
    }
    control->Release();
    return consumed;
  }
  return false;
}

}  // namespace

WPARAM runMessageLoop(HWND owner, HACCEL accelerators, MessageFilter filter, bool atlKeys) {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) return message.wParam;
    if (got == -1) return 0;
    if (filter && filter(message)) return 0;
    bool consumed = atlKeys && message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST &&
                    translateInAtlControl(message);
    if (!consumed && accelerators && TranslateAcceleratorA(owner, accelerators, &message))
      consumed = true;
    if (!consumed && !(owner && IsDialogMessageA(owner, &message))) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (owner && !IsWindow(owner)) return 0;
  }
}

}  // namespace ql
