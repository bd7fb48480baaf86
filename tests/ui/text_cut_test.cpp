#include "ui/text_cut.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

TEST(CutGbkText, ShortTextIsKept) {
  EXPECT_EQ(cutGbkText("", 127), "");
  EXPECT_EQ(cutGbkText("青岚", 4), "青岚");
  EXPECT_EQ(cutGbkText("abc", 127), "abc");
}

TEST(CutGbkText, CutsAtTheLimitBetweenCharacters) {
  EXPECT_EQ(cutGbkText("abcdef", 4), "abcd");
  // "a青岚" is 5 bytes; 3 bytes end right after 青.
  EXPECT_EQ(cutGbkText("a青岚", 3), "a青");
}

TEST(CutGbkText, NeverSplitsADoubleByteCharacter) {
  // 4 bytes would end inside 岚: the cut goes before it.
  EXPECT_EQ(cutGbkText("a青岚", 4), "a青");
  EXPECT_EQ(cutGbkText("青", 1), "");
  // A trail byte in the ASCII range (0x40-0x7E) is still part of the character.
  const std::string withLowTrail = std::string("x") + "\x81\x40" + "y";
  EXPECT_EQ(cutGbkText(withLowTrail, 2), "x");
  EXPECT_EQ(cutGbkText(withLowTrail, 3), std::string("x") + "\x81\x40");
}

TEST(CutGbkText, TrayTipOf128BytesWithZero) {
  // 63 characters of two bytes and one more: 128 bytes of text, 127 may stay.
  std::string tip = "a";
  for (int i = 0; i < 64; ++i) tip += "岚";
  const std::string cut = cutGbkText(tip, 127);
  EXPECT_EQ(cut.size(), 127u);
  EXPECT_EQ(cut, tip.substr(0, 127));
  // Shifted by one byte the 127th byte would be a lead byte: 126 stay.
  const std::string even = tip.substr(1);
  EXPECT_EQ(cutGbkText(even, 127).size(), 126u);
}

TEST(CutGbkText, LoneLeadByteAtTheEndCountsAsOneByte) {
  const std::string broken = std::string("ab") + "\xC7";
  EXPECT_EQ(cutGbkText(broken, 3), broken);
}

}  // namespace
}  // namespace ql
