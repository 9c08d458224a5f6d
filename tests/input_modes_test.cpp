// Sampling of keys and mouse latches into the pass's input flags, and the play modes they drive.
#include <gtest/gtest.h>

#include "text_fixture.h"

namespace mokuren::testing {
namespace {

using InputModes = TextFixture;

TEST_F(InputModes, KeysAreSampledOnlyWhenUnlockedButTheWheelAlways) {
  platform_->InjectKey(Key::PageUp, true);
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->KeyLogBack, 1);
  form_->KeyLock = 5;
  form_->FormMouseWheelDown();
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->KeyLogBack, 0);
  EXPECT_EQ(form_->KeyLogForward, 1);
  EXPECT_EQ(form_->WheelDown, 0);  // latches last one pass
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->KeyLogForward, 0);
  platform_->InjectKey(Key::PageUp, false);
  platform_->InjectKey(Key::F2, true);
  form_->KeyLock = 0;
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->KeyLogForward, 1);
}

TEST_F(InputModes, CtrlFastForwardsOnlyInDebugMode) {
  form_->TaskCode = task::Script;
  platform_->InjectKey(Key::Ctrl, true);
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->KeyCtrl, 0);
  EXPECT_EQ(form_->FastForward, 0);
  form_->DebugMode = 1;
  form_->KeyLock = 10;  // Ctrl is never locked
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->KeyCtrl, 1);
  EXPECT_EQ(form_->FastForward, 1);
  // Outside the script, fast-forward follows Ctrl only through the tasks' own tests.
  platform_->InjectKey(Key::Ctrl, false);
  form_->TaskCode = task::MessageWait;
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->FastForward, 1);
  form_->TaskCode = task::Script;
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->FastForward, 0);
}

TEST_F(InputModes, ClickLatchesUntilConsumedAndEndsReadSkipAndAuto) {
  form_->ReadSkip = 1;
  form_->AutoMode = 1;
  form_->FormMouseDown(MouseButton::Left, {5, 5});
  EXPECT_EQ(form_->ReadSkip, 0);
  EXPECT_EQ(form_->AutoMode, 0);
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->ClickPending, 1);
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->ClickPending, 1);  // stays until a task takes it
  form_->Kumo_ClearMouseButton();
  EXPECT_EQ(form_->ClickPending, 0);
}

TEST_F(InputModes, NothingIsTakenWhileAnotherWindowIsInFront) {
  platform_->OpenForm(FormId::TQueryForm);
  platform_->InjectKey(Key::Enter, true);
  form_->FormMouseDown(MouseButton::Left, {5, 5});
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->KeyEnter, 0);
  EXPECT_EQ(form_->ClickPending, 0);
  platform_->CloseForm(FormId::TQueryForm);
  platform_->InjectKey(Key::Enter, false);
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->ClickPending, 0);  // the press made meanwhile is gone
}

TEST_F(InputModes, SkipModesNeedPermission) {
  form_->ReadSkip = 1;
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->FastForward, 1);
  form_->SkipAllowed = 0;
  form_->SceneSkip = 1;
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->ReadSkip, 0);
  EXPECT_EQ(form_->SceneSkip, 0);
  EXPECT_EQ(form_->FastForward, 0);
}

TEST_F(InputModes, TheFirstKeyInASkippableSectionSkipsTheRest) {
  form_->SectionSkip = 1;
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->SceneSkip, 0);
  platform_->InjectKey(Key::Space, true);
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->SectionSkipRequest, 1);
  EXPECT_EQ(form_->SceneSkip, 1);
  EXPECT_EQ(form_->FastForward, 1);
  platform_->InjectKey(Key::Space, false);
  form_->Kumo_CheckKeyPush();
  EXPECT_EQ(form_->SceneSkip, 1);  // held by the request until the script ends the section
}

TEST_F(InputModes, PopupMenuItems) {
  // The menu opens on the right button only where the script allows it.
  form_->SystemMenuAllowed = 0;
  form_->FormMouseDown(MouseButton::Right, {1, 1});
  EXPECT_EQ(platform_->Popups(), 0);
  form_->SystemMenuAllowed = 1;
  form_->WindowShown = 1;
  form_->FormMouseDown(MouseButton::Right, {1, 1});
  EXPECT_EQ(platform_->Popups(), 1);
  EXPECT_EQ(platform_->MenuCaption(MenuItem::menuWindow), u"ウィンドウ消去");

  form_->menuKSkipClick();
  EXPECT_EQ(form_->ReadSkip, 1);
  form_->AutoMode = 1;
  form_->menuWindowClick();
  EXPECT_EQ(form_->WindowShown, 0);
  EXPECT_EQ(form_->ReadSkip, 0);
  EXPECT_EQ(form_->AutoMode, 0);
  form_->menuWindowClick();
  EXPECT_EQ(form_->WindowShown, 1);

  form_->LoopingVoice = 1;
  form_->menuAutoClick();
  EXPECT_EQ(form_->AutoMode, 1);
  EXPECT_EQ(form_->LoopingVoice, 0);

  form_->menuFloatClick();
  EXPECT_TRUE(platform_->MenuChecked(MenuItem::menuFloat));
  EXPECT_TRUE(platform_->FloatVisible());
  form_->menuFloatClick();
  EXPECT_FALSE(platform_->FloatVisible());
}

TEST_F(InputModes, NoticeIsDrawnGreenOverBlackAndGoesAfterThreeSeconds) {
  form_->menuSSkipClick();
  // Drawn at once: green ink near (16, 582), its black shadow one pixel further.
  bool green = false;
  for (int y = 582; y < 596; ++y)
    for (int x = 16; x < 200; ++x) {
      const uint8_t* p = form_->FrameSurface.ScanLine(y) + x * 4;
      green |= p[1] > 200 && p[0] == 0 && p[2] == 0;
    }
  EXPECT_TRUE(green);
  form_->SceneSkip = 0;
  form_->SkipAllowed = 0;
  Passes(290);
  EXPECT_FALSE(form_->NoticeText.empty());
  Passes(20);
  EXPECT_TRUE(form_->NoticeText.empty());
}

}  // namespace
}  // namespace mokuren::testing
