// Choices on a headless engine: centring of the rendered lines, the hovered plate, and taking a choice
// by click or Enter over the bands in use.
#include <gtest/gtest.h>

#include "text_fixture.h"

namespace mokuren::testing {
namespace {

class ChoiceDisplay : public TextFixture {
 protected:
  void SetUp() override {
    // Plates in two plain colours, so the hovered line can be told from the others.
    pictures_[52] = SolidPng(800, 40, 0, 0, 160);
    pictures_[53] = SolidPng(800, 40, 160, 0, 0);
  }
  // Red and blue of the frame at the left edge of a line, where no text is.
  std::pair<int, int> PlateAt(int y) {
    const uint8_t* p = Frame().ScanLine(y) + 4 * 4;
    return {p[2], p[0]};
  }
  // The first and last columns of the frame's rows [top, top + 40) where `ink` holds for the pixel.
  template <typename Ink>
  std::pair<int, int> InkColumns(int top, Ink ink) {
    int first = 800, last = -1;
    for (int y = top; y < top + 40; ++y)
      for (int x = 0; x < 800; ++x)
        if (ink(Frame().ScanLine(y) + x * 4)) {
          first = std::min(first, x);
          last = std::max(last, x);
        }
    return {first, last};
  }
};

// A plate of 160 after three blends at opacity 255 (plate, then the transparent parts of shadow and
// text), each of which takes (x * 255) >> 8.
constexpr int kPlate = 157;

TEST_F(ChoiceDisplay, LinesAreCentredAsIfEveryCharacterWere28PixelsWide) {
  Start("choice \"はい,いいえ\"\nchoice \"①「はい」\"\n");
  EXPECT_EQ(Choices().size(), 2u);
  NextFrame();
  // White text, at least half opaque, on the blue plates: line 1 at y = 220, line 2 at y = 280.
  const auto text = [](const uint8_t* p) { return p[2] > 128; };
  auto [first1, last1] = InkColumns(220, text);  // "はい" from x = 372
  EXPECT_GE(first1, 372);
  EXPECT_LE(last1, 428);
  EXPECT_LT(first1, 380);
  EXPECT_GT(last1, 420);
  auto [first2, last2] = InkColumns(280, text);  // "いいえ" from x = 358
  EXPECT_GE(first2, 358);
  EXPECT_LE(last2, 442);
  // The shadow is the same text, black, two pixels to the right.
  auto [firstShadow, lastShadow] = InkColumns(220, [](const uint8_t* p) { return p[0] < 78 && p[2] < 128; });
  EXPECT_GT(firstShadow, first1);
  EXPECT_EQ(lastShadow, last1 + 2);
  // No name substitution and no speaker in choices.
  Click(400, 230);
  ASSERT_TRUE(RunUntil([&] { return Task() == task::SelectWait && Choices().size() == 1; }));
  EXPECT_EQ(Choices()[0], u"①「はい」");
}

TEST_F(ChoiceDisplay, HoveredLineGetsTheHighlightedPlate) {
  Start("choice \"はい,いいえ\"\n");
  MoveTo(400, 300);
  NextFrame();
  EXPECT_EQ(ChoiceHovered(), 2);
  EXPECT_EQ(PlateAt(230), std::make_pair(0, kPlate));  // line 1 at y = 220, normal plate
  EXPECT_EQ(PlateAt(290), std::make_pair(kPlate, 0));  // line 2 at y = 280, highlighted
  EXPECT_EQ(PlateAt(270), std::make_pair(0, 0));       // between the lines: the scene
  // Right of the window the highlight stays where it was.
  MoveTo(900, 230);
  NextFrame();
  EXPECT_EQ(ChoiceHovered(), 2);
  MoveTo(400, 230);
  NextFrame();
  EXPECT_EQ(PlateAt(230), std::make_pair(kPlate, 0));
  EXPECT_EQ(PlateAt(290), std::make_pair(0, kPlate));
}

TEST_F(ChoiceDisplay, AClickOnABandTakesThatChoiceAndEndsAutoMode) {
  Start("msg \"一\"\nchoice \"はい,いいえ\"\nwait click\nF1 = 1\n");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Choose(MenuItem::menuAuto);
  ASSERT_TRUE(RunUntilTask(task::SelectWait));
  EXPECT_EQ(PlayModesNow().AutoMode, 0);
  Passes(3);
  Click(400, 300);
  Passes(1);
  EXPECT_EQ(Task(), task::Script);
  EXPECT_EQ(Var('W', 1), 2);
  // The click was taken by the choice, not kept for the wait after it.
  Passes(20);
  EXPECT_EQ(Var('F', 1), 0);
}

TEST_F(ChoiceDisplay, ClicksAndEnterOffTheBandsInUseAreDiscarded) {
  Start("W1 = 77\nchoice \"一,二,三\"\n");
  // Band 3 (rows 160-199) is not used by three choices; y = 80 lies between bands.
  for (Point p : {Point{400, 180}, Point{400, 80}, Point{850, 300}}) {
    Click(p.x, p.y);
    Passes(1);
    EXPECT_EQ(Task(), task::SelectWait) << p.y;
  }
  // Enter over no line does nothing; none of the clicks is kept for a later move onto a line.
  MoveTo(400, 100);
  Tap(Key::Enter);
  EXPECT_EQ(Task(), task::SelectWait);
  MoveTo(400, 230);
  Passes(1);
  EXPECT_EQ(Task(), task::SelectWait);
  EXPECT_EQ(Var('W', 1), 77);
  // Over line 1 Enter chooses 1.
  Tap(Key::Enter);
  EXPECT_EQ(Task(), task::Script);
  EXPECT_EQ(Var('W', 1), 1);
}

TEST_F(ChoiceDisplay, NineChoicesAndAnEmptyOne) {
  Start("choice \"1,2,3,4,5,6,7,8,9,10\"\nchoice \"\"\n");
  EXPECT_EQ(Choices().size(), 9u);
  Click(10, 545);
  Passes(1);
  EXPECT_EQ(Var('W', 1), 9);
  ASSERT_TRUE(RunUntilTask(task::SelectWait));
  EXPECT_EQ(Choices().size(), 1u);
  Click(10, 300);  // band 5
  Passes(1);
  EXPECT_EQ(Var('W', 1), 1);
}

}  // namespace
}  // namespace mokuren::testing
