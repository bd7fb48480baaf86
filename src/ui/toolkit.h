// Start-up and shutdown of the window toolkit, and the resources it shares:
// GDI+, the default pen, brush and font, the tooltip object, ATL hosting.
#pragma once
#include <windows.h>
#include <unknwn.h>

namespace Gdiplus {
class Pen;
class SolidBrush;
}  // namespace Gdiplus

namespace ql {

class SkinFont;
class ToolTips;

// Starts GDI+, makes the shared pen, brush and default font, records the
// Windows version and module handle, initialises the common controls, the
// tooltip object and ATL control hosting. Call once before any window.
bool startToolkit();
// Releases what startToolkit made, in reverse order (GDI+ last), once every
// window of the toolkit is gone; while one lives it does nothing and returns
// false. The program itself never calls it: its objects end with the process.
bool stopToolkit();

HINSTANCE toolkitModule();
int windowsMajorVersion();

// The system's non-client face (or "宋体"), 12 px, regular.
const SkinFont& defaultFont();
Gdiplus::Pen* defaultPen();
Gdiplus::SolidBrush* defaultBrush();
ToolTips& toolTips();

// ATL control hosting, bound lazily from atl.dll. Both fail softly (false /
// null) when the library is missing.
bool atlHostingAvailable();
// The control hosted by an "AtlAxWin" window, AddRef'ed; null when none.
IUnknown* atlHostedControl(HWND host);

}  // namespace ql
