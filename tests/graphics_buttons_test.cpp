// The on-screen button row: hit test, hover and click consumption, and where the pictures are drawn.
#include <gtest/gtest.h>

#include "graphics/ABitmapFilters32.h"
#include "support/engine_fixture.h"

namespace mokuren {
namespace {

class Buttons : public testing::EngineFixture {
 protected:
  void SetUp() override {
    StartEngine();
    form_->SetButtonStates({-1, -1, 0, 4, 0, 0, 0, 0, 0, 0});
    form_->TaskCode = task::MessageWait;
    form_->WindowShown = 1;
  }
  // One check with the pointer at (x, y) of the main window and, optionally, a click.
  void Check(int32_t x, int32_t y, bool click) {
    form_->MousePos = {x, y};
    form_->ClickPending = click ? 1 : 0;
    form_->Kumo_CheckButton();
  }
  int32_t State(int k) const { return form_->ButtonState[static_cast<size_t>(k - 1)]; }
};

TEST_F(Buttons, HitTestAlongTheRow) {
  Check(159, 590, true);
  EXPECT_EQ(form_->ClickPending, 1) << "left of button 1";
  Check(160, 590, true);
  EXPECT_EQ(form_->ClickPending, 1) << "button 1 is hidden: the click advances the message instead";
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
  EXPECT_EQ(form_->ClickPending, 1);
  // Button 9 switches read-skip on, and keeps it on when clicked again.
  Check(700, 590, true);
  EXPECT_EQ(form_->ClickPending, 0);
  EXPECT_EQ(form_->ReadSkip, 1);
  Check(799, 590, true);
  EXPECT_EQ(form_->AutoMode, 1) << "x = 799 is button 10";
  Check(799, 590, false);
  EXPECT_EQ(State(10), 3) << "on and hovered from the next pass";
}

TEST_F(Buttons, FloatingWindowTakesTheRow) {
  platform_->SetFloatVisible(true);
  Check(700, 590, true);
  EXPECT_EQ(form_->ClickPending, 1) << "the main window's row does nothing";
  form_->FloatMousePos = {700, 170};
  form_->ClickPending = 1;
  form_->Kumo_CheckButton();
  EXPECT_EQ(form_->ClickPending, 0);
  EXPECT_EQ(form_->ReadSkip, 1);
}

TEST_F(Buttons, NothingOutsideTheMessageWait) {
  form_->TaskCode = task::MessageTyping;
  Check(700, 590, true);
  EXPECT_EQ(form_->ClickPending, 1);
  EXPECT_EQ(form_->ReadSkip, 0);
}

TEST_F(Buttons, PicturesAreDrawnByState) {
  for (int s = 0; s <= 4; ++s)
    for (int k = 1; k <= 10; ++k) {
      TABitmap& slot = form_->SurfaceTable[static_cast<size_t>(8 + (k - 1) + 10 * s)];
      slot.SetSize32(64, 20);
      slot.FillRGB(static_cast<uint8_t>(10 * k), static_cast<uint8_t>(s * 50), 0);
    }
  form_->FrameSurface.FillRGB(0, 0, 0);
  form_->Kumo_DrawButton();
  auto red = [&](int32_t x, int32_t y) { return form_->FrameSurface.ScanLine(y)[x * 4 + 2]; };
  auto green = [&](int32_t x, int32_t y) { return form_->FrameSurface.ScanLine(y)[x * 4 + 1]; };
  EXPECT_EQ(red(170, 590), 0) << "button 1 is hidden";
  EXPECT_EQ(red(288, 580), (30 * 255) >> 8) << "button 3, state 0";
  EXPECT_EQ(green(360, 590), (200 * 255) >> 8) << "button 4, state 4";
  EXPECT_EQ(red(799, 599), (100 * 255) >> 8);
  EXPECT_EQ(red(799, 579), 0);
}

}  // namespace
}  // namespace mokuren
