#include "animation/adjust_frame_layout.h"

namespace ql {

namespace {
constexpr int kLabelWidth = 168;
constexpr int kFrameInset = 3;
}  // namespace

AdjustFrameLayout layOutAdjustFrame(int frameWidth) {
  AdjustFrameLayout layout;
  layout.movieButton = {frameWidth - 98, -1, 28, 20};
  const int widths[3] = {72, 44, 44};
  int right = layout.movieButton.x;
  for (int i = 0; i < 3; ++i) {
    layout.boxes[i] = {right - widths[i], 1, widths[i], 20};
    right = layout.boxes[i].x;
  }
  layout.label = {5, 0, kLabelWidth, 22};
  layout.labelShown = layout.boxes[2].x > kLabelWidth;
  return layout;
}

ControlRect playerInsideFrame(int left, int top, int right, int bottom) {
  return {left + kFrameInset, top + kFrameInset, right - left - 2 * kFrameInset,
          bottom - top - 2 * kFrameInset};
}

}  // namespace ql
