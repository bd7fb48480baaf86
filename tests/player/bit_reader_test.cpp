#include <gtest/gtest.h>

#include "player/swf/bit_reader.h"
#include "swf_builder.h"

using swf::BitReader;

TEST(BitReader, ReadsBitFieldsMostSignificantFirstAcrossBytes) {
  const uint8_t data[] = {0b10110011, 0b01000000};
  BitReader r(data, sizeof data);
  EXPECT_EQ(1u, r.ubits(1));
  EXPECT_EQ(0b011u, r.ubits(3));
  EXPECT_EQ(0b00110u, r.ubits(5));  // crosses into the second byte
  EXPECT_FALSE(r.failed());
}

TEST(BitReader, SignExtendsSignedFieldsAndAlignsForBytes) {
  const uint8_t data[] = {0b11110000, 0x34, 0x12};
  BitReader r(data, sizeof data);
  EXPECT_EQ(-1, r.sbits(3));
  EXPECT_EQ(-8, r.sbits(4));
  EXPECT_EQ(0x1234, r.u16());  // skips the byte's last bit first
  EXPECT_FALSE(r.failed());
}

TEST(BitReader, ReadingPastTheEndGivesZeroAndFailsForGood) {
  const uint8_t data[] = {0xFF};
  BitReader r(data, sizeof data);
  EXPECT_EQ(0u, r.u32() & 0xFFFFFF00u);
  EXPECT_TRUE(r.failed());
  EXPECT_EQ(0u, r.ubits(7));
  EXPECT_EQ("", r.cstring());
  EXPECT_FALSE(r.skip(1));
  EXPECT_TRUE(r.failed());
}

TEST(BitReader, TextStopsAtTheEndWhenNotTerminated) {
  const uint8_t data[] = {'a', 'b', 0, 'c'};
  BitReader r(data, sizeof data);
  EXPECT_EQ("ab", r.cstring());
  EXPECT_EQ("c", r.cstring());
  EXPECT_TRUE(r.failed());  // no terminator for the second
}

TEST(BitReader, DecodesRectMatrixAndColourTransformAsWritten) {
  swftest::Writer w;
  w.rect(-20, 11000, 0, 8000);
  w.matrix(1.5, 0.25, -0.25, 2, -300, 40);
  w.colorTransform(128, 256, 512, 64, 10, -20, 0, 255);
  BitReader r(w.data().data(), w.data().size());
  swf::Rect rect = r.rect();
  EXPECT_EQ(-20, rect.xMin);
  EXPECT_EQ(11000, rect.xMax);
  EXPECT_EQ(8000, rect.yMax);
  swf::Matrix m = r.matrix();
  EXPECT_DOUBLE_EQ(1.5, m.a);
  EXPECT_DOUBLE_EQ(0.25, m.b);
  EXPECT_DOUBLE_EQ(-0.25, m.c);
  EXPECT_DOUBLE_EQ(2, m.d);
  EXPECT_DOUBLE_EQ(-300, m.tx);
  EXPECT_DOUBLE_EQ(40, m.ty);
  swf::ColorTransform t = r.colorTransform(true);
  EXPECT_DOUBLE_EQ(0.5, t.rMul);
  EXPECT_DOUBLE_EQ(2, t.bMul);
  EXPECT_DOUBLE_EQ(0.25, t.aMul);
  EXPECT_DOUBLE_EQ(-20, t.gAdd);
  EXPECT_DOUBLE_EQ(255, t.aAdd);
  EXPECT_FALSE(r.failed());
}

TEST(ColorTransform, ClampsAndComposesChildInsideParent) {
  swf::ColorTransform parent, child;
  parent.rMul = 0.5;
  parent.rAdd = 100;
  child.rMul = 2;
  child.rAdd = 10;
  swf::ColorTransform both = parent * child;
  swf::Rgba c{100, 0, 0, 255};
  // Child first: 100·2 + 10 = 210; then the parent: 210·0.5 + 100 = 205.
  EXPECT_EQ(205, both.apply(c).r);
  swf::ColorTransform bright;
  bright.gAdd = 300;
  bright.bAdd = -300;
  swf::Rgba out = bright.apply(swf::Rgba{0, 10, 200, 255});
  EXPECT_EQ(255, out.g);
  EXPECT_EQ(0, out.b);
}
