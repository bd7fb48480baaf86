// Device fonts for the native tools and tests: FreeType over font files.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "player/text/device_fonts.h"

namespace text {

// Faces from the given files (TrueType, OpenType, collections). A name the
// files lack, and the generic "_sans", "_serif" and "_typewriter", fall back
// to the first face that has the character: list the CJK font first.
// Bold and italic are made from the regular face where the files have no
// such style. Null when FreeType cannot start or no file loads.
std::unique_ptr<DeviceFonts> makeFreeTypeFonts(const std::vector<std::string>& fontFiles);

// The Chinese faces this machine has installed (WenQuanYi Micro Hei, Noto
// Sans CJK), those present first to last.
std::vector<std::string> installedChineseFonts();

}  // namespace text
