// Buttons driven by the pointer through whole movies: the state pictures,
// hit areas apart from what is drawn, actions on the transitions (release,
// roll over), drag out and back, menus, the hand cursor, button sounds.
#include <gtest/gtest.h>

#include "swf_builder.h"
#include "test_player.h"

using swftest::Bytes;
using swftest::MovieBuilder;
using swftest::Picture;
using swftest::TestPlayer;

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
constexpr uint32_t kBlack = 0xFF000000;

// A 100 × 100 stage. The button (id 10) shows red up, green over, blue
// down over (10, 10)-(50, 50); its hit area is only (10, 10)-(30, 30).
// Releasing on it sets "clicked" and moves the root to frame 2, which
// shows a black marker at (80, 80); rolling over sets "hovered".
Bytes buttonMovie(bool menu = false, bool withSound = false) {
  MovieBuilder m(100, 100, 12);
  m.background(0xFFFFFF);
  m.defineRect(1, kRed, 10, 10, 50, 50);
  m.defineRect(2, kGreen, 10, 10, 50, 50);
  m.defineRect(3, kBlue, 10, 10, 50, 50);
  m.defineRect(4, kBlack, 10, 10, 30, 30);
  m.defineRect(5, kBlack, 75, 75, 90, 90);
  std::vector<MovieBuilder::ButtonRecord> records(4);
  records[0] = {1, 1, 1, {}};
  records[1] = {2, 2, 1, {}};
  records[2] = {4, 3, 1, {}};
  records[3] = {8, 4, 2, {}};
  std::vector<MovieBuilder::ButtonAction> actions(2);
  actions[0].conditions = 0x0008;  // OverDownToOverUp
  actions[0].code = swftest::act::join({swftest::act::setVariable("clicked", "yes"), swftest::act::gotoFrame(1)});
  actions[1].conditions = 0x0001;  // IdleToOverUp
  actions[1].code = swftest::act::setVariable("hovered", "yes");
  m.defineButton2(10, records, actions, menu);
  if (withSound) {
    std::vector<int16_t> tone(4410, 8000);
    m.defineSound(20, 3, 3, true, false, 4410, swftest::pcm16(tone));
    const uint16_t sounds[4] = {0, 20, 0, 0};
    m.defineButtonSound(10, sounds);
  }
  m.root().place(1, 10);
  m.root().action(swftest::act::stop());
  m.root().showFrame();
  m.root().place(2, 5);
  m.root().showFrame();
  return m.finish(true);
}

uint32_t buttonColour(TestPlayer& p) { return p.draw().at(40, 40); }
bool marker(TestPlayer& p) { return p.draw().at(85, 85) == kBlack; }

}  // namespace

TEST(Button, PointerShowsOverAndDownAndReleaseRunsTheAction) {
  TestPlayer p(buttonMovie());
  ASSERT_TRUE(p.loaded());
  p->advanceFrame();
  p.draw();  // the pointer maps through the picture last drawn
  EXPECT_EQ(kRed, buttonColour(p));
  // Over what the button draws but outside its hit area: nothing.
  EXPECT_FALSE(p->pointerMove(40, 40));
  EXPECT_FALSE(p->pointerOverButton());
  EXPECT_EQ(kRed, buttonColour(p));
  EXPECT_TRUE(p->pointerMove(20, 20));
  EXPECT_TRUE(p->pointerOverButton());
  EXPECT_EQ(kGreen, buttonColour(p));
  EXPECT_TRUE(p->pointerButton(true));
  EXPECT_EQ(kBlue, buttonColour(p));
  EXPECT_FALSE(marker(p));
  EXPECT_TRUE(p->pointerButton(false));
  EXPECT_TRUE(marker(p));  // the release ran gotoFrame(2)
  EXPECT_EQ(2, p->currentFrame());
  EXPECT_EQ(kGreen, buttonColour(p));
  EXPECT_TRUE(p->pointerLeave());
  EXPECT_EQ(kRed, buttonColour(p));
  EXPECT_FALSE(p->pointerOverButton());
}

TEST(Button, DraggedOutAndReleasedOutsideDoesNotClick) {
  TestPlayer p(buttonMovie());
  p->advanceFrame();
  p.draw();
  p->pointerMove(20, 20);
  p->pointerButton(true);
  EXPECT_TRUE(p->pointerMove(70, 20));  // out while down
  EXPECT_EQ(kRed, buttonColour(p));
  EXPECT_TRUE(p->pointerMove(25, 25));  // back over: down again
  EXPECT_EQ(kBlue, buttonColour(p));
  p->pointerMove(70, 20);
  p->pointerButton(false);  // released outside
  EXPECT_FALSE(marker(p));
  EXPECT_EQ(kRed, buttonColour(p));
  // A press that starts outside and slides over does not press a push button.
  p->pointerButton(true);
  p->pointerMove(20, 20);
  EXPECT_EQ(kRed, buttonColour(p));
  p->pointerButton(false);
  EXPECT_FALSE(marker(p));
}

TEST(Button, MenuButtonsTakeAPressThatBeganElsewhere) {
  TestPlayer p(buttonMovie(true));
  p->advanceFrame();
  p.draw();
  p->pointerMove(70, 20);
  p->pointerButton(true);
  EXPECT_TRUE(p->pointerMove(20, 20));
  EXPECT_EQ(kBlue, buttonColour(p));
  p->pointerButton(false);
  EXPECT_TRUE(marker(p));
}

TEST(Button, ThePointerMapsThroughTheStageAsDrawn) {
  TestPlayer p(buttonMovie());
  p->advanceFrame();
  // Drawn twice as large: the hit area is (20, 20)-(60, 60) in its pixels.
  std::vector<uint32_t> big(200 * 200);
  p->render(big.data(), 200, 200, 800, true);
  EXPECT_FALSE(p->pointerMove(70, 70));
  EXPECT_TRUE(p->pointerMove(50, 50));
  EXPECT_TRUE(p->pointerOverButton());
}

TEST(Button, RollOverPlaysTheButtonSound) {
  sound::Mixer mixer(nullptr);
  TestPlayer p(buttonMovie(false, true), &mixer);
  p->advanceFrame();
  p.draw();
  EXPECT_TRUE(mixer.idle());
  p->pointerMove(20, 20);
  EXPECT_FALSE(mixer.idle());
  std::vector<int16_t> out(2 * 100);
  mixer.mix(out.data(), 100);
  EXPECT_EQ(8000, out[10]);
}
