// Where the adjustment frame's controls sit for a frame width, and where the
// player sits inside the frame. No Win32 here.
#pragma once
#include "control/control_layout.h"

namespace ql {

struct AdjustFrameLayout {
  ControlRect movieButton;  // "自定义动画"
  ControlRect boxes[3];     // "总在最前", "穿透", "静音"
  ControlRect label;        // "可关闭本窗口,锁定Flash动画!"
  bool labelShown;          // only where the boxes leave it room
};

// Along the top edge from the right: the button 98 px in, then the boxes
// 72, 44 and 44 px wide, each to the left of the one before.
AdjustFrameLayout layOutAdjustFrame(int frameWidth);

// The player 3 px inside the frame's rectangle (screen pixels) on every side.
ControlRect playerInsideFrame(int left, int top, int right, int bottom);

}  // namespace ql
