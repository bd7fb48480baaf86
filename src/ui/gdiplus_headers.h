// GDI+ C++ classes. <gdiplus.h> needs the COM property types that
// WIN32_LEAN_AND_MEAN leaves out, and min/max that NOMINMAX removes.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
