// Choices on a headless engine: centring of the rendered lines, the hovered plate, and taking a choice
// by click or Enter over the bands in use.
#include <gtest/gtest.h>

#include "text_fixture.h"

namespace mokuren::testing {
namespace {

class ChoiceDisplay : public TextFixture {
 protected:
  void SetUp() override {
    TextFixture::SetUp();
    // Plates in two plain colours, so the hovered line can be told from the others.
    form_->SurfaceTable[72].SetSize32(800, 40);
    form_->SurfaceTable[72].FillRGB(0, 0, 160);
    form_->SurfaceTable[91].SetSize32(800, 40);
    form_->SurfaceTable[91].FillRGB(160, 0, 0);
  }
  // Runs passes until the next composed frame.
  void NextFrame() {
    const int64_t frames = form_->FrameCount();
    while (form_->FrameCount() == frames) form_->IdleEvent();
  }
  // Red and blue of the frame at the left edge of a line, where no text is.
  std::pair<int, int> PlateAt(int y) {
    const uint8_t* p = form_->FrameSurface.ScanLine(y) + 4 * 4;
    return {p[2], p[0]};
  }
};

// A plate of 160 after three blends at opacity 255 (plate, then the transparent parts of shadow and
// text), each of which takes (x * 255) >> 8.
constexpr int kPlate = 157;

// The columns of a 800x40 layer that hold ink.
std::pair<int, int> InkColumns(const TABitmap& s) {
  int first = 800, last = -1;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      if (s.ScanLine(y)[x * 4 + 3] < 128) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
  return {first, last};
}

TEST_F(ChoiceDisplay, LinesAreCentredAsIfEveryCharacterWere28PixelsWide) {
  ShowChoice(u"はい,いいえ");
  EXPECT_EQ(form_->ChoiceCount, 2);
  auto [first1, last1] = InkColumns(form_->SurfaceTable[73]);  // "はい" from x = 372
  EXPECT_GE(first1, 372);
  EXPECT_LE(last1, 428);
  EXPECT_LT(first1, 380);
  EXPECT_GT(last1, 420);
  auto [first2, last2] = InkColumns(form_->SurfaceTable[74]);  // "いいえ" from x = 358
  EXPECT_GE(first2, 358);
  EXPECT_LE(last2, 442);
  // The shadow is the same text two pixels to the right.
  auto [firstShadow, lastShadow] = InkColumns(form_->SurfaceTable[82]);
  EXPECT_EQ(firstShadow, first1 + 2);
  EXPECT_EQ(lastShadow, last1 + 2);
  // No name substitution and no speaker in choices.
  ShowChoice(u"①「はい」");
  EXPECT_EQ(form_->ChoiceTexts[0], u"①「はい」");
}

TEST_F(ChoiceDisplay, HoveredLineGetsTheHighlightedPlate) {
  ShowChoice(u"はい,いいえ");
  Move(400, 300);
  NextFrame();
  EXPECT_EQ(form_->ChoiceHover, 2);
  EXPECT_EQ(PlateAt(230), std::make_pair(0, kPlate));  // line 1 at y = 220, normal plate
  EXPECT_EQ(PlateAt(290), std::make_pair(kPlate, 0));  // line 2 at y = 280, highlighted
  EXPECT_EQ(PlateAt(270), std::make_pair(0, 0));       // between the lines: the scene
  // Right of the window the highlight stays where it was.
  Move(900, 230);
  NextFrame();
  EXPECT_EQ(form_->ChoiceHover, 2);
  Move(400, 230);
  NextFrame();
  EXPECT_EQ(PlateAt(230), std::make_pair(kPlate, 0));
  EXPECT_EQ(PlateAt(290), std::make_pair(0, kPlate));
}

TEST_F(ChoiceDisplay, AClickOnABandTakesThatChoice) {
  form_->AutoMode = 1;
  ShowChoice(u"はい,いいえ");
  EXPECT_EQ(form_->AutoMode, 0);
  Passes(3);
  Click(400, 300);
  Passes(1);
  EXPECT_EQ(form_->TaskCode, task::Script);
  EXPECT_EQ(form_->WorkVars[1], 2);
  EXPECT_EQ(form_->KeyLock, 9);  // 10, less the tick at the end of the pass
  EXPECT_EQ(form_->ClickPending, 0);
}

TEST_F(ChoiceDisplay, ClicksAndEnterOffTheBandsInUseAreDiscarded) {
  form_->WorkVars[1] = 77;
  ShowChoice(u"一,二,三");
  // Band 3 (rows 160-199) is not used by three choices; y = 80 lies between bands.
  for (Point p : {Point{400, 180}, Point{400, 80}, Point{850, 300}}) {
    Click(p.x, p.y);
    Passes(1);
    EXPECT_EQ(form_->TaskCode, task::SelectWait);
    EXPECT_EQ(form_->ClickPending, 0) << p.y;  // not remembered for a later move onto a line
  }
  // Enter over no line does nothing; over line 1 it chooses 1.
  Move(400, 100);
  Tap(Key::Enter);
  EXPECT_EQ(form_->TaskCode, task::SelectWait);
  Move(400, 230);
  Passes(1);
  EXPECT_EQ(form_->TaskCode, task::SelectWait);
  Tap(Key::Enter);
  EXPECT_EQ(form_->TaskCode, task::Script);
  EXPECT_EQ(form_->WorkVars[1], 1);
}

TEST_F(ChoiceDisplay, NineChoicesAndAnEmptyOne) {
  ShowChoice(u"1,2,3,4,5,6,7,8,9,10");
  EXPECT_EQ(form_->ChoiceCount, 9);
  Click(10, 545);
  Passes(1);
  EXPECT_EQ(form_->WorkVars[1], 9);
  ShowChoice(u"");
  EXPECT_EQ(form_->ChoiceCount, 1);
  Click(10, 300);  // band 5
  Passes(1);
  EXPECT_EQ(form_->WorkVars[1], 1);
}

}  // namespace
}  // namespace mokuren::testing
