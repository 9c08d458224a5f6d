// The main loop on the virtual clock: the order of one pass, the 30-per-second frame grid with its
// catch-up after a stall, the script's timed and key waits, and the 10 ms timer's counters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

// Records the platform calls that mark the steps of a pass.
class RecordingPlatform : public HeadlessPlatform {
 public:
  using HeadlessPlatform::HeadlessPlatform;
  std::vector<std::string> log;
  bool recording = false;

  void SetMenuEnabled(MenuItem item, bool enabled) override {
    if (recording && item == MenuItem::menuKSkip) log.push_back("menus");
    HeadlessPlatform::SetMenuEnabled(item, enabled);
  }
  WindowId Foreground() override {
    if (recording) log.push_back("input");
    return HeadlessPlatform::Foreground();
  }
  void PaintMain(const TABitmap& frame) override {
    if (recording) log.push_back("paint");
    HeadlessPlatform::PaintMain(frame);
  }
  void Sleep(uint32_t ms) override {
    if (recording) log.push_back("sleep " + std::to_string(ms));
    HeadlessPlatform::Sleep(ms);
  }
};

class MainLoop : public EngineFixture {
 protected:
  void Start(uint32_t startTick = 0) {
    WriteMinimalGame(dir_.path());
    LaunchOptions options;
    options.gameDir = dir_.path().string();
    options.headless = true;
    recorder_ = new RecordingPlatform(startTick);
    platform_.reset(recorder_);
    form_ = std::make_unique<TForm1>(*platform_, options);
    platform_->Attach(*form_);
    ASSERT_TRUE(form_->FormCreate());
    form_->StartLoopClock();
    Passes(2);  // initialise, then run the script once
    ASSERT_EQ(form_->TaskCode, task::Script);
  }
  // Puts the engine in a task that the script would have started.
  void Enter(int32_t taskCode) { form_->TaskCode = taskCode; }
  // Passes until TaskCode leaves `code` (at most limit passes); returns the passes run.
  int PassesWhile(int32_t code, int limit = 10000) {
    int n = 0;
    while (form_->TaskCode == code && n < limit) {
      form_->IdleEvent();
      ++n;
    }
    return n;
  }

  RecordingPlatform* recorder_ = nullptr;  // owned by platform_
};

TEST_F(MainLoop, OnePassRunsItsStepsInOrder) {
  Start();
  // Align with the frame grid so that this pass composes a frame.
  while (platform_->TickCount() < form_->NextFrameTime) form_->IdleEvent();
  // A scene that changed, so that the frame is painted.
  form_->DisplaySurface.FillRGB(10, 20, 30);
  recorder_->recording = true;
  form_->IdleEvent();
  EXPECT_EQ(recorder_->log, (std::vector<std::string>{"menus", "input", "paint", "sleep 10"}));
}

TEST_F(MainLoop, OneSecondComposesThirtyFramesOnTheGrid) {
  Start();
  int64_t frames0 = form_->FrameCount();
  uint32_t t0 = platform_->TickCount();
  while (platform_->TickCount() - t0 < 1000) form_->IdleEvent();
  EXPECT_EQ(form_->FrameCount() - frames0, 30);
}

TEST_F(MainLoop, AfterAStallFramesFollowBackToBackUntilTheGridIsAheadAgain) {
  Start();
  Passes(50);
  platform().Stall(1000);  // the window was dragged for a second
  int backToBack = 0;
  for (;;) {
    int64_t before = form_->FrameCount();
    form_->IdleEvent();
    if (form_->FrameCount() == before) break;
    ++backToBack;
  }
  // Each catching-up pass gains 33.3 - 10 ms on the grid: about 1000 / 23.3 passes.
  EXPECT_GE(backToBack, 40);
  EXPECT_LE(backToBack, 46);
  EXPECT_GT(form_->NextFrameTime, platform_->TickCount());
  // Then the ordinary rhythm again: one frame in three or four passes.
  int64_t before = form_->FrameCount();
  Passes(30);
  EXPECT_GE(form_->FrameCount() - before, 8);
  EXPECT_LE(form_->FrameCount() - before, 10);
}

TEST_F(MainLoop, TimedWaitEndsAtItsDeadline) {
  Start();
  form_->WaitDeadline = static_cast<int32_t>(platform_->TickCount() + 100);
  form_->WaitClickable = 0;
  Enter(task::Wait);
  int passes = PassesWhile(task::Wait);
  EXPECT_GE(passes, 10);
  EXPECT_LE(passes, 11);

  // A wait of 0 ms ends on the next pass.
  form_->WaitDeadline = static_cast<int32_t>(platform_->TickCount());
  Enter(task::Wait);
  EXPECT_EQ(PassesWhile(task::Wait), 1);
}

TEST_F(MainLoop, TimedWaitDeadlineSurvivesTheClockWrappingAround) {
  Start(0xFFFFFF00u);
  form_->WaitDeadline = static_cast<int32_t>(platform_->TickCount() + 1000);  // past the wrap
  Enter(task::Wait);
  int passes = PassesWhile(task::Wait);
  EXPECT_GE(passes, 100);
  EXPECT_LE(passes, 101);
}

TEST_F(MainLoop, AClickEndsATimedWaitOnlyWhenItWasStartedClickable) {
  Start();
  for (uint8_t clickable : {0, 1}) {
    form_->WaitDeadline = static_cast<int32_t>(platform_->TickCount() + 5000);
    form_->WaitClickable = clickable;
    Enter(task::Wait);
    Passes(3);
    form_->FormMouseDown(MouseButton::Left, {400, 300});
    Passes(2);
    if (clickable)
      EXPECT_EQ(form_->TaskCode, task::Script);
    else
      EXPECT_EQ(form_->TaskCode, task::Wait);
  }
}

TEST_F(MainLoop, KeyWaitEndsOnEnterOrClickButNotOnCtrlWithoutDebugMode) {
  Start();
  Enter(task::WaitKey);
  platform().InjectKey(Key::Ctrl, true);
  Passes(5);
  EXPECT_EQ(form_->TaskCode, task::WaitKey);
  platform().InjectKey(Key::Ctrl, false);
  platform().InjectKey(Key::Enter, true);
  Passes(1);
  EXPECT_NE(form_->TaskCode, task::WaitKey);
  platform().InjectKey(Key::Enter, false);

  Enter(task::WaitKey);
  Passes(2);
  form_->FormMouseDown(MouseButton::Left, {10, 10});
  Passes(1);
  EXPECT_NE(form_->TaskCode, task::WaitKey);
}

TEST_F(MainLoop, UnknownTaskCodeIsReportedOnceAndScript1TakesOverWhileNameEntryWaits) {
  Start();
  // The name dialog's task runs no handler and stays until the dialog answers.
  Enter(task::NameEntry);
  Passes(30);
  EXPECT_EQ(form_->TaskCode, task::NameEntry);
  EXPECT_TRUE(form_->Errors().Lines().empty());

  Enter(0x123456);
  form_->ScriptNo = 7;
  int64_t frames = form_->FrameCount();
  Passes(30);
  ASSERT_EQ(form_->Errors().Lines().size(), 1u);
  EXPECT_EQ(form_->Errors().Lines()[0], u"TaskCode 0x123456 belongs to no task; back to the title");
  // Script 1 without a title command runs from its start.
  EXPECT_EQ(form_->ScriptNo, 1);
  EXPECT_EQ(form_->TaskCode, task::Script);
  EXPECT_GE(form_->FrameCount() - frames, 8);
}

TEST_F(MainLoop, TimerCountsTicksAndRunsDownLockAndNotice) {
  Start();
  int32_t ticks = form_->DelayTicks;
  form_->KeyLock = 10;
  form_->NoticeText = u"シーンスキップしました";
  form_->NoticeTimer = 300;
  form_->AutoElapsed = 0;
  Passes(5);
  EXPECT_EQ(form_->DelayTicks - ticks, 5);
  EXPECT_EQ(form_->KeyLock, 5);
  EXPECT_EQ(form_->AutoElapsed, 50);  // no voice is playing
  Passes(10);
  EXPECT_EQ(form_->KeyLock, 0);  // not below 0
  Passes(300 - 15);
  EXPECT_FALSE(form_->NoticeText.empty());  // about 3 s: still there at 300 ticks
  Passes(2);
  EXPECT_TRUE(form_->NoticeText.empty());
  EXPECT_EQ(form_->NoticeTimer, 0);
}

TEST_F(MainLoop, EveryFiftiethTickForgetsEffectsThatHaveStopped) {
  Start();
  form_->Block->Live.SeNo[1] = 7;  // nothing is playing, so the effect has ended
  while (form_->DelayTicks % 50 != 49) form_->IdleEvent();
  EXPECT_EQ(form_->Block->Live.SeNo[1], 7);
  Passes(1);
  EXPECT_EQ(form_->Block->Live.SeNo[1], 0);
}

TEST_F(MainLoop, PlayMenuItemsAreEnabledOnlyWhileAMessageOrChoiceWaits) {
  Start();
  form_->SystemMenuAllowed = 1;
  form_->NormalPlay = 1;
  Passes(1);
  EXPECT_FALSE(platform_->MenuEnabled(MenuItem::menuKSkip));
  EXPECT_TRUE(platform_->MenuEnabled(MenuItem::menuQuit));

  Enter(task::MessageWait);
  Passes(1);
  EXPECT_TRUE(platform_->MenuEnabled(MenuItem::menuKSkip));
  EXPECT_TRUE(platform_->MenuEnabled(MenuItem::menuSave));

  // Scene replay: saving is off, and the save buttons show disabled.
  form_->NormalPlay = 0;
  Passes(1);
  EXPECT_TRUE(platform_->MenuEnabled(MenuItem::menuKSkip));
  EXPECT_FALSE(platform_->MenuEnabled(MenuItem::menuSave));
  EXPECT_FALSE(platform_->MenuEnabled(MenuItem::menuLoad));
  EXPECT_EQ(form_->ButtonState[4], 4);
  EXPECT_EQ(form_->ButtonState[7], 4);
  EXPECT_EQ(form_->ButtonState[2], 0);

  form_->SystemMenuAllowed = 0;
  form_->NormalPlay = 1;
  Passes(1);
  EXPECT_FALSE(platform_->MenuEnabled(MenuItem::menuAuto));
  EXPECT_FALSE(platform_->MenuEnabled(MenuItem::menuSave));
}

}  // namespace
}  // namespace mokuren::testing
