#include "ui/form_input.h"

#include <gtest/gtest.h>

#include "ui/caption_buttons.h"

namespace ql {
namespace {

int buttonA, buttonB, listC;
const ElementKey kA = &buttonA, kB = &buttonB, kList = &listC;

FormHit over(ElementKey element, bool enabled = true) {
  FormHit hit;
  hit.element = element;
  hit.enabled = enabled;
  return hit;
}

FormHit onCaptionButton(int bit) {
  FormHit hit;
  hit.captionButton = bit;
  hit.captionBand = true;
  return hit;
}

FormHit onBand() {
  FormHit hit;
  hit.captionBand = true;
  return hit;
}

std::vector<FormStep::Kind> kinds(const FormSteps& steps) {
  std::vector<FormStep::Kind> result;
  for (const FormStep& step : steps) result.push_back(step.kind);
  return result;
}

bool has(const FormSteps& steps, FormStep::Kind kind, ElementKey element = nullptr) {
  for (const FormStep& step : steps)
    if (step.kind == kind && (!element || step.element == element)) return true;
  return false;
}

TEST(FormInput, PressAndReleaseOnTheSameElementClicksIt) {
  FormInput input;
  input.mouseMove(over(kA), 0, 0);
  FormSteps down = input.leftDown(over(kA), 0, 0, false);
  EXPECT_TRUE(has(down, FormStep::Focus, kA));
  EXPECT_TRUE(has(down, FormStep::Press, kA));
  EXPECT_EQ(kA, input.captured());
  FormSteps up = input.leftUp(over(kA));
  EXPECT_EQ((std::vector<FormStep::Kind>{FormStep::Release, FormStep::Click}), kinds(up));
  EXPECT_EQ(nullptr, input.captured());
}

TEST(FormInput, ReleasingElsewhereOrOnADisabledElementIsNoClick) {
  FormInput input;
  input.leftDown(over(kA), 0, 0, false);
  // While held, moving off the element unlights it but keeps it captured.
  FormSteps away = input.mouseMove(over(kB), 5, 5);
  EXPECT_TRUE(has(away, FormStep::Move, kA));
  EXPECT_TRUE(has(away, FormStep::Leave, kA));
  EXPECT_FALSE(has(away, FormStep::Enter, kB));
  EXPECT_EQ((std::vector<FormStep::Kind>{FormStep::Release}), kinds(input.leftUp(over(kB))));

  input.leftDown(over(kA), 0, 0, false);
  EXPECT_FALSE(has(input.leftUp(over(kA, false)), FormStep::Click));
}

TEST(FormInput, ADisabledElementTakesNeitherThePressNorTheFocus) {
  FormInput input;
  input.leftDown(over(kList), 0, 0, false);
  input.leftUp(over(kList));
  ASSERT_EQ(kList, input.focused());
  FormSteps down = input.leftDown(over(kA, false), 0, 0, false);
  EXPECT_TRUE(down.empty());
  EXPECT_EQ(kList, input.focused());
  EXPECT_TRUE(input.rightDown(over(kA, false)).empty());
  EXPECT_TRUE(input.doubleClick(over(kA, false), true).empty());
  EXPECT_EQ(kList, input.focused());
}

TEST(FormInput, HoverEntersAndLeavesOnceAndTheFirstMoveReportsThePointer) {
  FormInput input;
  FormSteps first = input.mouseMove(over(kA), 0, 0);
  EXPECT_EQ(
      (std::vector<FormStep::Kind>{FormStep::PointerEntered, FormStep::Enter, FormStep::Move}),
      kinds(first));
  // Resting or moving over the same element only moves.
  EXPECT_EQ((std::vector<FormStep::Kind>{FormStep::Move}), kinds(input.mouseMove(over(kA), 1, 1)));
  FormSteps next = input.mouseMove(over(kB), 2, 2);
  EXPECT_EQ((std::vector<FormStep::Kind>{FormStep::Leave, FormStep::Enter, FormStep::Move}),
            kinds(next));
  EXPECT_EQ(kA, next[0].element);
  EXPECT_EQ((std::vector<FormStep::Kind>{FormStep::Leave}), kinds(input.mouseLeave()));
  EXPECT_EQ(FormStep::PointerEntered, input.mouseMove(over(kB), 0, 0).front().kind);
}

TEST(FormInput, CaptionButtonActsOnlyWhenReleasedOnItself) {
  FormInput input;
  FormSteps down = input.leftDown(onCaptionButton(kCaptionClose), 0, 0, false);
  EXPECT_TRUE(has(down, FormStep::PressButton));
  EXPECT_EQ(kCaptionClose, input.hoveredButton());
  // Only the pressed button lights up while the mouse is held.
  input.mouseMove(onCaptionButton(kCaptionMaximise), 0, 0);
  EXPECT_EQ(0, input.hoveredButton());
  FormSteps up = input.leftUp(onCaptionButton(kCaptionMaximise));
  EXPECT_EQ((std::vector<FormStep::Kind>{FormStep::ReleaseButton}), kinds(up));

  input.leftDown(onCaptionButton(kCaptionClose), 0, 0, false);
  up = input.leftUp(onCaptionButton(kCaptionClose));
  ASSERT_EQ(2u, up.size());
  EXPECT_EQ(FormStep::CaptionAction, up[1].kind);
  EXPECT_EQ(kCaptionClose, up[1].bit);
}

TEST(FormInput, BandDragMovesByTheScreenDistanceAndEndsWithMovedOnlyAfterAMove) {
  FormInput input;
  EXPECT_TRUE(has(input.leftDown(onBand(), 100, 50, false), FormStep::DragStart));
  EXPECT_TRUE(input.mouseMove(onBand(), 100, 50).empty() ||
              !has(input.mouseMove(onBand(), 100, 50), FormStep::DragMove));
  FormSteps move = input.mouseMove(onBand(), 130, 40);
  ASSERT_TRUE(has(move, FormStep::DragMove));
  EXPECT_EQ(30, move.back().dx);
  EXPECT_EQ(-10, move.back().dy);
  FormSteps up = input.leftUp(onBand());
  ASSERT_EQ(1u, up.size());
  EXPECT_EQ(FormStep::DragEnd, up[0].kind);
  EXPECT_TRUE(up[0].moved);

  // A press without a move is no move; a maximised window is not dragged.
  input.leftDown(onBand(), 10, 10, false);
  EXPECT_FALSE(input.leftUp(onBand())[0].moved);
  EXPECT_FALSE(has(input.leftDown(onBand(), 10, 10, true), FormStep::DragStart));
}

TEST(FormInput, BandDoubleClickMaximisesOnlyWithTheMaximiseButton) {
  FormInput input;
  FormSteps with = input.doubleClick(onBand(), true);
  ASSERT_EQ(1u, with.size());
  EXPECT_EQ(FormStep::CaptionAction, with[0].kind);
  EXPECT_EQ(kCaptionMaximise, with[0].bit);
  EXPECT_TRUE(input.doubleClick(onBand(), false).empty());
  EXPECT_TRUE(input.doubleClick(FormHit(), true).empty());  // below the band
  // A quick second click on a caption button is a press like the first.
  EXPECT_TRUE(has(input.doubleClick(onCaptionButton(kCaptionClose), true), FormStep::PressButton));
}

TEST(FormInput, LosingTheMouseEndsPressDragAndButton) {
  FormInput input;
  input.leftDown(over(kA), 0, 0, false);
  EXPECT_EQ((std::vector<FormStep::Kind>{FormStep::CaptureLost}), kinds(input.captureLost()));
  input.leftDown(onBand(), 0, 0, false);
  input.mouseMove(onBand(), 5, 0);
  FormSteps lost = input.captureLost();
  ASSERT_EQ(1u, lost.size());
  EXPECT_TRUE(lost[0].moved);
  EXPECT_FALSE(input.dragging());
  EXPECT_TRUE(input.captureLost().empty());
}

TEST(FormInput, AnElementThatLeavesTheFormIsForgotten) {
  FormInput input;
  input.mouseMove(over(kA), 0, 0);
  input.leftDown(over(kA), 0, 0, false);
  FormSteps steps = input.forget(kA);
  EXPECT_TRUE(has(steps, FormStep::Release, kA));
  EXPECT_EQ(nullptr, input.hovered());
  EXPECT_EQ(nullptr, input.focused());
  EXPECT_EQ(nullptr, input.captured());
  EXPECT_TRUE(input.leftUp(over(kB)).empty());
}

TEST(FocusOrder, TabGoesInReadingOrderAndWraps) {
  int edit, ok, cancel;
  // The edit box sits above the buttons; OK left of Cancel. Given out of order.
  std::vector<FocusStop> stops = {{&cancel, 162, 62}, {&edit, 50, 33}, {&ok, 91, 62}};
  EXPECT_EQ(&ok, nextFocusStop(stops, &edit, true));
  EXPECT_EQ(&cancel, nextFocusStop(stops, &ok, true));
  EXPECT_EQ(&edit, nextFocusStop(stops, &cancel, true));
  EXPECT_EQ(&cancel, nextFocusStop(stops, &edit, false));
  // From nowhere: the first going on, the last going back.
  EXPECT_EQ(&edit, nextFocusStop(stops, nullptr, true));
  EXPECT_EQ(&cancel, nextFocusStop(stops, nullptr, false));
  EXPECT_EQ(nullptr, nextFocusStop({}, &edit, true));
}

}  // namespace
}  // namespace ql
