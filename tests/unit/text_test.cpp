#include <gtest/gtest.h>

#include "runtime/text.h"

using namespace ql;

TEST(TextToNumber, ReadsTheLeadingDecimalPrefix) {
  EXPECT_EQ(textToNumber("644"), 644);
  EXPECT_EQ(textToNumber("-20"), -20);
  EXPECT_EQ(textToNumber("  12.5px"), 12.5);
  EXPECT_EQ(textToNumber("1e3"), 1000);
  EXPECT_EQ(textToNumber("2e"), 2);     // a dangling exponent is not part of the number
  EXPECT_EQ(textToNumber("+.5"), 0.5);
  EXPECT_EQ(textToNumber("0x10"), 0);  // no hexadecimal
  EXPECT_EQ(textToNumber("abc"), 0);
  EXPECT_EQ(textToNumber(""), 0);
  EXPECT_EQ(textToNumber("-"), 0);
  EXPECT_EQ(textToNumber("inf"), 0);
}

TEST(TrimSpaces, RemovesAsciiAndFullWidthSpacesOnly) {
  EXPECT_EQ(trimSpaces("  a b  "), "a b");
  EXPECT_EQ(trimSpaces("\xA1\xA1" "配置" "\xA1\xA1 "), "配置");
  EXPECT_EQ(trimSpaces(" \xA1\xA1 "), "");
  EXPECT_EQ(trimSpaces("\t x"), "\t x");  // only spaces count
  EXPECT_TRUE(isBlank(" \xA1\xA1"));
  EXPECT_FALSE(isBlank(" k "));
}

TEST(TrimSpaces, KeepsATrailByteThatLooksLikeHalfASpace) {
  // "啊" is B0 A1: its trail byte followed by a lone A1 is not a full-width space.
  std::string text = "\xB0\xA1\xA1";
  EXPECT_EQ(trimSpaces(text), text);
  EXPECT_EQ(trimSpaces(std::string("\xB0\xA1") + "\xA1\xA1"), "\xB0\xA1");
}

TEST(FindNoCase, IgnoresAsciiCaseAndNeverMatchesInsideACharacter) {
  EXPECT_EQ(findNoCase("<TITLE>x", "<title>"), 0u);
  EXPECT_EQ(findNoCase("ab<Title>", "<TITLE>"), 2u);
  EXPECT_EQ(findNoCase("abc", "d"), std::string::npos);
  EXPECT_EQ(findNoCase("abc", ""), std::string::npos);
  // "笔" is B1 CA; searching for "蔽" (B1 CE)... and for a character that would
  // only appear straddling two characters: "吧" (B0 C9) + "A" must not match "蒙" at C9 41.
  std::string text = "\xB0\xC9" "A";
  EXPECT_EQ(findNoCase(text, "\xC9" "A"), std::string::npos);
  EXPECT_EQ(findNoCase(text, "a"), 2u);
  // Double-byte characters are compared exactly, not case-folded.
  EXPECT_EQ(findNoCase("\xA3\xC1", "\xA3\xE1"), std::string::npos);
  EXPECT_EQ(findNoCase("xxabcABC", "abc", 3), 5u);
}

TEST(TextBetween, FollowsTheMarkersRules) {
  EXPECT_EQ(textBetween("x版本：2.1\r\n", "版本：", "\r\n"), "2.1");
  EXPECT_EQ(textBetween("<html><TITLE>新闻*8</title>", "<title>", "</title>"), "新闻*8");
  EXPECT_EQ(textBetween("版本：2.1\r\n", "版本：", "\r\n"), "");  // marker at the very start
  EXPECT_EQ(textBetween("x版本：2.1", "版本：", "\r\n"), "");      // no end marker
  EXPECT_EQ(textBetween("abc", "z", "c"), "");
  EXPECT_EQ(textBetween("a[]b", "[", "]"), "");
}

TEST(SplitAndReplace, HandleEdgesOfTheText) {
  EXPECT_EQ(splitText("a\r\nb\r\n", "\r\n"), (std::vector<std::string>{"a", "b", ""}));
  EXPECT_EQ(splitText("", ","), (std::vector<std::string>{""}));
  EXPECT_EQ(replaceAll("it's 'x'", "'", "''"), "it''s ''x''");
  EXPECT_EQ(replaceAll("a=b=c", "=", "-"), "a-b-c");
  EXPECT_EQ(intToText(-2147483648LL), "-2147483648");
}

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
