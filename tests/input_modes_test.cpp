// The player's keys and clicks as each pass takes them, and the play modes they, the popup menu and the
// script drive.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/sound_slots.h"
#include "ogg_encode.h"
#include "text_fixture.h"

namespace mokuren::testing {
namespace {

using InputModes = TextFixture;

const char* kThreeMessages = "msg \"一\"\nmsg \"二\"\nmsg \"今\"\nwait click\n";

TEST_F(InputModes, HeldKeysActOnlyWhenUnlockedButTheWheelAlways) {
  Start(kThreeMessages, Settings("speed=1"));
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(RunUntilTask(task::MessageWait));
    Click(400, 300);
    Passes(1);
  }
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"今" && Task() == task::MessageWait; }));
  Passes(12);
  Hold(Key::PageUp, true);
  Passes(1);
  EXPECT_EQ(LogEntry(), 1);
  Passes(5);
  EXPECT_EQ(LogEntry(), 1);  // held, but locked since it acted
  Wheel(true);
  Passes(1);
  EXPECT_EQ(LogEntry(), 2);  // the wheel is taken all the same
  Passes(1);
  EXPECT_EQ(LogEntry(), 2);  // and only once
  Hold(Key::PageUp, false);
  Passes(12);
  Tap(Key::F2);
  EXPECT_EQ(LogEntry(), 1);
}

TEST_F(InputModes, CtrlFastForwardsOnlyInDebugMode) {
  Start(kThreeMessages);
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Hold(Key::Ctrl, true);
  Passes(50);
  EXPECT_EQ(PlayModesNow().FastForward, 0);
  EXPECT_EQ(MessageShown(), u"一");
  CloseGame();

  WriteFile(dir() / "debugmode.txt", "");
  Start(kThreeMessages);
  Hold(Key::Ctrl, true);
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"今"; }));
  EXPECT_EQ(PlayModesNow().FastForward, 1);
  // Released, fast-forward ends once the script runs again.
  Hold(Key::Ctrl, false);
  ASSERT_TRUE(RunUntilTask(task::WaitKey));
  Passes(1);
  EXPECT_EQ(PlayModesNow().FastForward, 0);
}

TEST_F(InputModes, AClickEndsReadSkipAndAutoMode) {
  Start(kThreeMessages);
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Choose(MenuItem::menuAuto);
  Choose(MenuItem::menuKSkip);
  ASSERT_EQ(PlayModesNow().AutoMode, 1);
  ASSERT_EQ(PlayModesNow().ReadSkip, 1);
  Click(5, 5);
  EXPECT_EQ(PlayModesNow().ReadSkip, 0);
  EXPECT_EQ(PlayModesNow().AutoMode, 0);
}

TEST_F(InputModes, NothingIsTakenWhileAnotherWindowIsInFront) {
  Start(kThreeMessages);
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  platform().OpenForm(FormId::TQueryForm);
  Click(5, 5);
  Passes(20);
  EXPECT_EQ(MessageShown(), u"一");
  platform().CloseForm(FormId::TQueryForm);
  Passes(20);
  EXPECT_EQ(MessageShown(), u"一");  // the click made meanwhile is gone
  EXPECT_EQ(Task(), task::MessageWait);
  platform().OpenForm(FormId::TQueryForm);
  Hold(Key::Enter, true);
  Passes(20);
  EXPECT_EQ(MessageShown(), u"一");
  Hold(Key::Enter, false);
  platform().CloseForm(FormId::TQueryForm);
  Passes(20);
  EXPECT_EQ(MessageShown(), u"一");  // the key went to the window in front, and stays there
}

TEST_F(InputModes, SkipModesNeedPermission) {
  Start("msg \"一\"\nallowskip 0\nmsg \"二\"\nwait click\n");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Choose(MenuItem::menuSSkip);
  Passes(1);
  EXPECT_EQ(PlayModesNow().FastForward, 1);
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"二"; }));
  Passes(1);
  EXPECT_EQ(PlayModesNow().SceneSkip, 0);
  EXPECT_EQ(PlayModesNow().FastForward, 0);
  EXPECT_TRUE(RunUntilTask(task::MessageWait));
}

TEST_F(InputModes, TheFirstKeyInASkippableSectionSkipsTheRest) {
  Start("sectionskip 1\nmsg \"一\"\nmsg \"二\"\nsectionend\nmsg \"三\"\nwait click\n");
  Passes(3);
  EXPECT_EQ(PlayModesNow().SceneSkip, 0);
  Tap(Key::Enter);
  EXPECT_EQ(PlayModesNow().SceneSkip, 1);
  EXPECT_EQ(PlayModesNow().FastForward, 1);
  // Held by the request until the script ends the section.
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"三"; }));
  EXPECT_TRUE(RunUntilTask(task::MessageWait));
  EXPECT_EQ(PlayModesNow().SceneSkip, 0);
}

TEST_F(InputModes, PopupMenuItems) {
  std::filesystem::create_directories(dir() / "VOICE");
  WriteFile(dir() / "VOICE" / "v1.ogg", EncodeOgg(Sine(440, 8000, 5.0, 1, 22050), 1, 22050));
  // The menu opens on the right button only where the script allows it.
  Start("sysmenu 0\nmsg \"一\"\nsysmenu 1\nmsg \"二\", \"v1\", 7\nmsg \"三\"\nwait click\n");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  const int popups = platform().Popups();
  RightClick(1, 1);
  EXPECT_EQ(platform().Popups(), popups);
  Click(400, 300);
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"二" && Task() == task::MessageWait; }));
  RightClick(1, 1);
  EXPECT_EQ(platform().Popups(), popups + 1);
  EXPECT_EQ(platform().MenuCaption(MenuItem::menuWindow), u"ウィンドウ消去");

  // Auto mode stops a repeating voice.
  ASSERT_GE(SoundSlot(stream::Voice), 2);
  Choose(MenuItem::menuAuto);
  EXPECT_EQ(PlayModesNow().AutoMode, 1);
  EXPECT_LE(SoundSlot(stream::Voice), 1);

  Choose(MenuItem::menuWindow);
  EXPECT_FALSE(WindowShown());
  EXPECT_EQ(PlayModesNow().AutoMode, 0);
  Choose(MenuItem::menuWindow);
  EXPECT_TRUE(WindowShown());

  Choose(MenuItem::menuFloat);
  EXPECT_TRUE(platform().MenuChecked(MenuItem::menuFloat));
  EXPECT_TRUE(platform().FloatVisible());
  Choose(MenuItem::menuFloat);
  EXPECT_FALSE(platform().FloatVisible());

  Choose(MenuItem::menuKSkip);
  EXPECT_EQ(PlayModesNow().ReadSkip, 1);
}

TEST_F(InputModes, NoticeIsDrawnGreenOverBlackAndGoesAfterThreeSeconds) {
  Start("msg \"一\"\nallowskip 0\nmsg \"二\"\nwait click\n");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Choose(MenuItem::menuSSkip);
  // Drawn at once: green ink near (16, 582), its black shadow one pixel further.
  bool green = false;
  for (int y = 582; y < 596; ++y)
    for (int x = 16; x < 200; ++x) {
      const uint8_t* p = Frame().ScanLine(y) + x * 4;
      green |= p[1] > 200 && p[0] == 0 && p[2] == 0;
    }
  EXPECT_TRUE(green);
  Passes(290);
  EXPECT_FALSE(Notice().empty());
  Passes(20);
  EXPECT_TRUE(Notice().empty());
}

}  // namespace
}  // namespace mokuren::testing
