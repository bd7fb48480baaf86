#include "ui/caption_buttons.h"

#include <string>

#include <gtest/gtest.h>

namespace ql {
namespace {

TEST(CaptionButtons, DefaultSetRunsCloseMaximiseMinimiseMenuFromTheRightEdge) {
  std::vector<CaptionButton> buttons = layoutCaptionButtons(kDefaultCaptionButtons, 312);
  ASSERT_EQ(buttons.size(), 4u);
  EXPECT_EQ(buttons[0].bit, kCaptionClose);
  EXPECT_EQ(buttons[1].bit, kCaptionMaximise);
  EXPECT_EQ(buttons[2].bit, kCaptionMinimise);
  EXPECT_EQ(buttons[3].bit, kCaptionMenu);
  EXPECT_EQ(buttons[0].left + buttons[0].width, 312);
  for (size_t i = 1; i < buttons.size(); ++i) {
    EXPECT_EQ(buttons[i].left + buttons[i].width, buttons[i - 1].left);  // no gaps, no overlap
    EXPECT_EQ(buttons[i].top, 0);
    EXPECT_EQ(buttons[i].height, kCaptionBandHeight);
  }
  EXPECT_TRUE(layoutCaptionButtons(0, 312).empty());
  std::vector<CaptionButton> skin = layoutCaptionButtons(kCaptionClose | kCaptionSkin, 200);
  ASSERT_EQ(skin.size(), 2u);
  EXPECT_EQ(skin[1].bit, kCaptionSkin);
}

TEST(CaptionButtons, TheSyntheticCloseClickHitsCloseForEveryWidthAndEverySetWithClose) {
  for (int set : {kCaptionClose, kCaptionClose | kCaptionMaximise, kDefaultCaptionButtons,
                  kDefaultCaptionButtons | kCaptionSkin}) {
    for (int width = 8; width <= 2000; ++width) {
      std::vector<CaptionButton> buttons = layoutCaptionButtons(set, width);
      ASSERT_EQ(captionButtonAt(buttons, width - 8, 8), kCaptionClose) << set << " " << width;
    }
  }
  // Without a close button the point hits whatever sits there, never "close".
  std::vector<CaptionButton> noClose = layoutCaptionButtons(kCaptionMaximise, 300);
  EXPECT_EQ(captionButtonAt(noClose, 292, 8), kCaptionMaximise);
}

TEST(CaptionButtons, HitsStayInsideTheBand) {
  std::vector<CaptionButton> buttons = layoutCaptionButtons(kDefaultCaptionButtons, 300);
  EXPECT_EQ(captionButtonAt(buttons, 299, 0), kCaptionClose);
  EXPECT_EQ(captionButtonAt(buttons, 299, 19), kCaptionClose);
  EXPECT_EQ(captionButtonAt(buttons, 299, 20), 0);
  EXPECT_EQ(captionButtonAt(buttons, 300, 5), 0);
  EXPECT_EQ(captionButtonAt(buttons, 300 - 32, 5), kCaptionClose);
  EXPECT_EQ(captionButtonAt(buttons, 300 - 33, 5), kCaptionMaximise);
  EXPECT_EQ(captionButtonAt(buttons, 10, 5), 0);
}

TEST(CaptionButtons, EventCodesAndTooltips) {
  EXPECT_EQ(captionEventCode(kCaptionClose), 12);
  EXPECT_EQ(captionEventCode(kCaptionMaximise), 13);
  EXPECT_EQ(captionEventCode(1), 0);
  EXPECT_EQ(std::string(captionTooltip(kCaptionClose)), "退出");
  EXPECT_EQ(std::string(captionTooltip(kCaptionMaximise)), "最大化");
  EXPECT_EQ(std::string(captionTooltip(kCaptionMinimise)), "最小化");
  EXPECT_EQ(std::string(captionTooltip(kCaptionMenu)), "菜单");
  EXPECT_EQ(std::string(captionTooltip(kCaptionSkin)), "皮肤");
}

}  // namespace
}  // namespace ql
