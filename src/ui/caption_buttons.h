// The skinned form's caption: which buttons a caption-button set holds, where
// they sit for a window width, what a point hits, and the caption band's
// double-click rule. No Win32 here, so the rules are tested natively.
#pragma once
#include <vector>

namespace ql {

// Caption-button bits. Along the caption from the right edge: close,
// maximise, minimise, menu, skin.
constexpr int kCaptionClose = 2;
constexpr int kCaptionMaximise = 4;
constexpr int kCaptionMinimise = 8;
constexpr int kCaptionSkin = 16;
constexpr int kCaptionMenu = 64;
constexpr int kDefaultCaptionButtons =
    kCaptionClose | kCaptionMaximise | kCaptionMinimise | kCaptionMenu;

// The top band of the window that drags it and answers double-clicks.
constexpr int kCaptionBandHeight = 20;
constexpr int kCaptionButtonHeight = 20;
constexpr int kCloseButtonWidth = 32;
constexpr int kCaptionButtonWidth = 28;

struct CaptionButton {
  int bit;
  int left, top, width, height;
  bool contains(int x, int y) const {
    return x >= left && x < left + width && y >= top && y < top + height;
  }
};

// The buttons of `buttonSet` laid out from the right edge of a client area
// `clientWidth` wide. The close button always ends at the right edge, so the
// program's synthetic close click at (width - 8, 8) lands on it.
inline std::vector<CaptionButton> layoutCaptionButtons(int buttonSet, int clientWidth) {
  static const int order[] = {kCaptionClose, kCaptionMaximise, kCaptionMinimise, kCaptionMenu,
                              kCaptionSkin};
  std::vector<CaptionButton> buttons;
  int right = clientWidth;
  for (int bit : order) {
    if (!(buttonSet & bit)) continue;
    int width = bit == kCaptionClose ? kCloseButtonWidth : kCaptionButtonWidth;
    buttons.push_back({bit, right - width, 0, width, kCaptionButtonHeight});
    right -= width;
  }
  return buttons;
}

// The bit of the button under (x, y), or 0.
inline int captionButtonAt(const std::vector<CaptionButton>& buttons, int x, int y) {
  for (const CaptionButton& button : buttons)
    if (button.contains(x, y)) return button.bit;
  return 0;
}

inline bool inCaptionBand(int y) { return y >= 0 && y < kCaptionBandHeight; }

// Event codes the form reports for its caption buttons (the form's event
// routine gets them with source kEventFromCaption).
inline int captionEventCode(int bit) {
  switch (bit) {
    case kCaptionClose: return 12;
    case kCaptionMaximise: return 13;
    case kCaptionMinimise: return 14;
    case kCaptionMenu: return 15;
    case kCaptionSkin: return 16;
    default: return 0;
  }
}

// Tooltip texts of the caption buttons.
inline const char* captionTooltip(int bit) {
  switch (bit) {
    case kCaptionClose: return "退出";
    case kCaptionMaximise: return "最大化";
    case kCaptionMinimise: return "最小化";
    case kCaptionMenu: return "菜单";
    case kCaptionSkin: return "皮肤";
    default: return "";
  }
}

}  // namespace ql
