// The on-screen button row: hit test, hover and click consumption, and where the pictures are drawn.
#include <gtest/gtest.h>

#include "graphics/ABitmapFilters32.h"
#include "support/engine_fixture.h"

namespace mokuren {
namespace {

class Buttons : public testing::EngineFixture {
 protected:
  // A message typed whole and waiting, with the row as normal play shows it (the voice button disabled:
  // the message has no voice).
  void SetUp() override {
    StartScript("msg \"あいうえお\"\nwait click\n");
    ASSERT_TRUE(RunUntilTask(task::MessageWait));
    G().SetButtonStates({-1, -1, 0, 4, 0, 0, 0, 0, 0, 0});
  }
  // The pictures and their buttons, the layer these tests drive, and the pass's input it reads.
  Graphics& G() { return form_->Pictures(); }
  PassInput& In() { return form_->Text().Input; }
  const PlayModes& Play() { return form_->Text().Modes; }
  // One check with the pointer at (x, y) of the main window and, optionally, a click.
  void Check(int32_t x, int32_t y, bool click) {
    In().MousePos = {x, y};
    In().ClickPending = click ? 1 : 0;
    G().Kumo_CheckButton();
  }
  int32_t State(int k) const { return ButtonLook(k); }
};

TEST_F(Buttons, HitTestAlongTheRow) {
  Check(159, 590, true);
  EXPECT_EQ(In().ClickPending, 1) << "left of button 1";
  Check(160, 590, true);
  EXPECT_EQ(In().ClickPending, 1) << "button 1 is hidden: the click advances the message instead";
  Check(288, 579, false);
  EXPECT_EQ(State(3), 0) << "above the row";
  Check(288, 580, false);
  EXPECT_EQ(State(3), 1) << "hover";
  Check(500, 599, false);
  EXPECT_EQ(State(3), 0) << "hover ends when the pointer leaves";
  EXPECT_EQ(State(6), 1);
  // Button 4 without a voice is disabled: a click on it is not consumed.
  Check(360, 590, true);
  EXPECT_EQ(State(4), 4);
  EXPECT_EQ(In().ClickPending, 1);
  // Button 9 switches read-skip on, and keeps it on when clicked again.
  Check(700, 590, true);
  EXPECT_EQ(In().ClickPending, 0);
  EXPECT_EQ(Play().ReadSkip, 1);
  Check(799, 590, true);
  EXPECT_EQ(Play().AutoMode, 1) << "x = 799 is button 10";
  Check(799, 590, false);
  EXPECT_EQ(State(10), 3) << "on and hovered from the next pass";
}

TEST_F(Buttons, FloatingWindowTakesTheRow) {
  platform().SetFloatVisible(true);
  Check(700, 590, true);
  EXPECT_EQ(In().ClickPending, 1) << "the main window's row does nothing";
  In().FloatMousePos = {700, 170};
  In().ClickPending = 1;
  G().Kumo_CheckButton();
  EXPECT_EQ(In().ClickPending, 0);
  EXPECT_EQ(Play().ReadSkip, 1);
}

TEST_F(Buttons, NothingOutsideTheMessageWait) {
  Click(400, 300);  // the script goes on: its next wait is no message wait
  ASSERT_TRUE(RunUntilTask(task::WaitKey));
  Check(700, 590, true);
  EXPECT_EQ(In().ClickPending, 1);
  EXPECT_EQ(Play().ReadSkip, 0);
}

TEST_F(Buttons, PicturesAreDrawnByState) {
  for (int s = 0; s <= 4; ++s)
    for (int k = 1; k <= 10; ++k) {
      TABitmap& slot = G().SurfaceTable[static_cast<size_t>(8 + (k - 1) + 10 * s)];
      slot.SetSize32(64, 20);
      slot.FillRGB(static_cast<uint8_t>(10 * k), static_cast<uint8_t>(s * 50), 0);
    }
  G().FrameSurface.FillRGB(0, 0, 0);
  G().Kumo_DrawButton();
  auto red = [&](int32_t x, int32_t y) { return G().FrameSurface.ScanLine(y)[x * 4 + 2]; };
  auto green = [&](int32_t x, int32_t y) { return G().FrameSurface.ScanLine(y)[x * 4 + 1]; };
  EXPECT_EQ(red(170, 590), 0) << "button 1 is hidden";
  EXPECT_EQ(red(288, 580), (30 * 255) >> 8) << "button 3, state 0";
  EXPECT_EQ(green(360, 590), (200 * 255) >> 8) << "button 4, state 4";
  EXPECT_EQ(red(799, 599), (100 * 255) >> 8);
  EXPECT_EQ(red(799, 579), 0);
}

}  // namespace
}  // namespace mokuren
