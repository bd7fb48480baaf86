#include <gtest/gtest.h>

#include <random>

#include "player/core/player.h"
#include "player/swf/swf_file.h"
#include "swf_builder.h"

namespace {

swftest::Bytes simpleMovie(bool compressed) {
  swftest::MovieBuilder m(200, 100, 25);
  m.background(0x336699);
  swftest::ShapeBuilder s;
  int red = s.solidFill(0xFFFF0000);
  swftest::Path p;
  p.fill1(red).rect(0, 0, 2000, 1000);
  m.defineShape(1, s, p, 0, 2000, 0, 1000);
  m.root().place(1, 1);
  m.root().showFrame();
  m.root().showFrame();
  return m.finish(compressed);
}

}  // namespace

TEST(SwfFile, PlainAndZlibMoviesGiveTheSameHeaderAndTags) {
  swf::SwfFile plain, packed;
  swftest::Bytes a = simpleMovie(false), b = simpleMovie(true);
  ASSERT_TRUE(swf::openSwf(a.data(), a.size(), &plain));
  ASSERT_TRUE(swf::openSwf(b.data(), b.size(), &packed));
  EXPECT_EQ(4000, plain.header.frameSize.xMax);
  EXPECT_EQ(2000, plain.header.frameSize.yMax);
  EXPECT_DOUBLE_EQ(25, plain.header.frameRate);
  EXPECT_EQ(2, plain.header.frameCount);
  EXPECT_EQ(plain.body, packed.body);
}

TEST(SwfFile, RefusesLzmaForeignAndShortData) {
  swftest::Bytes movie = simpleMovie(false);
  swf::SwfFile f;
  movie[0] = 'Z';
  EXPECT_FALSE(swf::openSwf(movie.data(), movie.size(), &f));
  movie[0] = 'X';
  EXPECT_FALSE(swf::openSwf(movie.data(), movie.size(), &f));
  movie[0] = 'F';
  EXPECT_FALSE(swf::openSwf(movie.data(), 10, &f));  // header cut inside the stage rectangle
  EXPECT_FALSE(swf::openSwf(nullptr, 0, &f));
}

TEST(SwfFile, InflationIsBoundedByTheCompressedSizeNotTheClaimedLength) {
  swftest::Bytes movie = simpleMovie(true);
  // Claim 4 GiB uncompressed.
  movie[4] = movie[5] = movie[6] = movie[7] = 0xFF;
  swf::SwfFile f;
  ASSERT_TRUE(swf::openSwf(movie.data(), movie.size(), &f));
  EXPECT_LT(f.body.size(), movie.size() * 1100);
  EXPECT_EQ(2, f.header.frameCount);
}

TEST(TagReader, ReadsShortAndLongHeadersAndCutsAnOverlongTag) {
  swftest::Timeline t;
  t.tag(9, {1, 2, 3});
  t.tag(12, swftest::Bytes(100, 7));  // long form
  swftest::Bytes data = t.bytes();
  const int head = (26 << 6) | 10;  // PlaceObject2 claiming 10 bytes, 3 present
  data.push_back(head & 0xFF);
  data.push_back(head >> 8);
  data.insert(data.end(), {1, 2, 3});
  swf::TagReader r(data.data(), data.size());
  swf::Tag tag;
  ASSERT_TRUE(r.next(&tag));
  EXPECT_EQ(9, tag.code);
  EXPECT_EQ(3u, tag.size);
  ASSERT_TRUE(r.next(&tag));
  EXPECT_EQ(12, tag.code);
  EXPECT_EQ(100u, tag.size);
  EXPECT_EQ(7, tag.data[99]);
  ASSERT_TRUE(r.next(&tag));
  EXPECT_EQ(26, tag.code);
  EXPECT_EQ(3u, tag.size);
  EXPECT_FALSE(r.next(&tag));
}

TEST(PlayerLoad, GivesNullForEmptyAndBrokenBytes) {
  EXPECT_EQ(nullptr, player::Player::load(nullptr, 0));
  const uint8_t junk[] = "not a movie at all";
  EXPECT_EQ(nullptr, player::Player::load(junk, sizeof junk));
  swftest::Bytes packed = simpleMovie(true);
  for (size_t i = 8; i < packed.size(); ++i) packed[i] = 0x55;  // not a zlib stream
  EXPECT_EQ(nullptr, player::Player::load(packed.data(), packed.size()));
}

TEST(PlayerLoad, UnknownTagsAreSkippedAndACutMoviePlaysWhatItHas) {
  swftest::MovieBuilder m(20, 10, 12);
  m.define(200, swftest::Bytes(70, 0xAB));  // unknown tag, long form
  swftest::ShapeBuilder s;
  int red = s.solidFill(0xFFFF0000);
  swftest::Path p;
  p.fill1(red).rect(0, 0, 400, 200);
  m.defineShape(1, s, p, 0, 400, 0, 200);
  m.root().place(1, 1);
  m.root().showFrame();
  swftest::Bytes full = m.finish(false);
  auto player = player::Player::load(full.data(), full.size());
  ASSERT_NE(nullptr, player);
  player->advanceFrame();
  uint32_t px[20 * 10];
  player->render(px, 20, 10, 80, true);
  EXPECT_EQ(0xFFFF0000u, px[5 * 20 + 10]);

  // Cut in the middle of the placement: the stage still comes up, empty.
  swftest::Bytes cut(full.begin(), full.end() - 8);
  auto partial = player::Player::load(cut.data(), cut.size());
  ASSERT_NE(nullptr, partial);
  partial->advanceFrame();
  partial->render(px, 20, 10, 80, true);
  EXPECT_EQ(0xFFFFFFFFu, px[5 * 20 + 10]);
}

TEST(PlayerLoad, DamagedMoviesNeverCrash) {
  // A small in-test fuzz: flip bytes of a valid movie and run a few frames.
  swftest::Bytes base = simpleMovie(false);
  std::mt19937 rng(12345);
  uint32_t px[32 * 32];
  for (int round = 0; round < 2000; ++round) {
    swftest::Bytes m = base;
    int flips = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < flips; ++i) m[8 + rng() % (m.size() - 8)] = static_cast<uint8_t>(rng());
    if (rng() % 4 == 0) m.resize(8 + rng() % (m.size() - 8));
    auto player = player::Player::load(m.data(), m.size());
    if (!player) continue;
    for (int f = 0; f < 3; ++f) player->advanceFrame();
    player->render(px, 32, 32, 128, true);
  }
}
