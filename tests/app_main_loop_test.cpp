// The main loop on the virtual clock: the order of one pass, the 30-per-second frame grid with its
// catch-up after a stall, the script's timed and key waits, and what the 10 ms timer runs down.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/engine_fixture.h"
#include "support/game_builder.h"

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
  // Starts `script` as script 1 (the minimal game's endless loop when empty) on the recording platform and
  // runs it to its first instructions.
  void Start(const std::string& script = {}, uint32_t startTick = 0) {
    if (!script.empty()) BuildTestGame(dir(), TestGame{{{1, script}}, {}, {}});
    auto recorder = std::make_unique<RecordingPlatform>(startTick);
    recorder_ = recorder.get();
    StartEngine({}, startTick, {}, std::move(recorder));
    Passes(2);  // initialise, then run the script once
  }
  // Passes until the task leaves `code` (at most limit passes); returns the passes run.
  int PassesWhile(int32_t code, int limit = 10000) {
    int n = 0;
    for (; Task() == code && n < limit; ++n) Passes(1);
    return n;
  }

  RecordingPlatform* recorder_ = nullptr;  // owned by platform_
};

TEST_F(MainLoop, OnePassRunsItsStepsInOrder) {
  // A message being typed changes the scene, so the passes that compose a frame also paint it.
  Start(R"(msg "あいうえおかきくけこさしすせそ"
wait click
)");
  for (int i = 0; i < 10; ++i) {
    recorder_->log.clear();
    recorder_->recording = true;
    Passes(1);
    recorder_->recording = false;
    if (recorder_->log.size() > 3) break;
  }
  EXPECT_EQ(recorder_->log, (std::vector<std::string>{"menus", "input", "paint", "sleep 10"}));
}

TEST_F(MainLoop, OneSecondComposesThirtyFramesOnTheGrid) {
  Start();
  ASSERT_EQ(Task(), task::Script);
  int64_t frames0 = FrameCount();
  RunMs(1000);
  EXPECT_EQ(FrameCount() - frames0, 30);
}

TEST_F(MainLoop, AfterAStallFramesFollowBackToBackUntilTheGridIsAheadAgain) {
  Start();
  Passes(50);
  platform().Stall(1000);  // the window was dragged for a second
  int backToBack = 0;
  for (;;) {
    int64_t before = FrameCount();
    Passes(1);
    if (FrameCount() == before) break;
    ++backToBack;
  }
  // Each catching-up pass gains 33.3 - 10 ms on the grid: about 1000 / 23.3 passes.
  EXPECT_GE(backToBack, 40);
  EXPECT_LE(backToBack, 46);
  // Then the ordinary rhythm again: one frame in three or four passes.
  int64_t before = FrameCount();
  Passes(30);
  EXPECT_GE(FrameCount() - before, 8);
  EXPECT_LE(FrameCount() - before, 10);
}

TEST_F(MainLoop, TimedWaitEndsAtItsDeadline) {
  Start(R"(wait 100
wait 0
wait click
)");
  ASSERT_EQ(Task(), task::Wait);
  int passes = PassesWhile(task::Wait);
  EXPECT_GE(passes, 10);
  EXPECT_LE(passes, 11);

  // A wait of 0 ms ends on the next pass.
  ASSERT_TRUE(RunUntilTask(task::Wait, 3));
  EXPECT_EQ(PassesWhile(task::Wait), 1);
}

TEST_F(MainLoop, TimedWaitDeadlineSurvivesTheClockWrappingAround) {
  Start(R"(wait 1000
wait click
)",
        0xFFFFFF00u);  // the deadline lies past the wrap
  ASSERT_EQ(Task(), task::Wait);
  int passes = PassesWhile(task::Wait);
  EXPECT_GE(passes, 100);
  EXPECT_LE(passes, 101);
}

TEST_F(MainLoop, AClickEndsATimedWaitOnlyWhenItWasStartedClickable) {
  Start(R"(wait 5000
F1 = 1
wait 5000, 1
F1 = 2
wait click
)");
  Passes(3);
  Click(400, 300);
  Passes(2);
  EXPECT_EQ(Task(), task::Wait);
  EXPECT_EQ(Var('F', 1), 0);

  ASSERT_TRUE(RunUntil([&] { return Var('F', 1) == 1; }));
  Passes(3);
  Click(400, 300);
  Passes(2);
  EXPECT_EQ(Var('F', 1), 2);
}

TEST_F(MainLoop, KeyWaitEndsOnEnterOrClickButNotOnCtrlWithoutDebugMode) {
  Start(R"(wait click
F1 = 1
wait click
F1 = 2
wait click
)");
  ASSERT_EQ(Task(), task::WaitKey);
  Hold(Key::Ctrl, true);
  Passes(5);
  EXPECT_EQ(Task(), task::WaitKey);
  EXPECT_EQ(Var('F', 1), 0);
  Hold(Key::Ctrl, false);
  Hold(Key::Enter, true);
  Passes(1);
  EXPECT_NE(Task(), task::WaitKey);
  Hold(Key::Enter, false);

  ASSERT_TRUE(RunUntilTask(task::WaitKey, 3));
  EXPECT_EQ(Var('F', 1), 1);
  Passes(2);
  Click(10, 10);
  Passes(1);
  EXPECT_NE(Task(), task::WaitKey);
}

TEST_F(MainLoop, UnknownTaskCodeIsReportedOnceAndScript1TakesOverWhileNameEntryWaits) {
  // Script 1 goes on in script 7, which waits for a click.
  BuildTestGame(dir(), TestGame{{{1, "jump top, 7\n"}, {7, "*top\nwait click\n"}}, {}, {}});
  Start();
  ASSERT_EQ(Script(), 7);
  // Neither a script nor the player can set these task codes: the test puts the engine there itself.
  // The name dialog's task runs no handler and stays until the dialog answers.
  form_->TaskCode = task::NameEntry;
  Passes(30);
  EXPECT_EQ(Task(), task::NameEntry);
  EXPECT_TRUE(Errors().empty());

  form_->TaskCode = 0x123456;
  int64_t frames = FrameCount();
  Passes(30);
  EXPECT_EQ(Errors(), std::vector<std::string>{"TaskCode 0x123456 belongs to no task; back to the title"});
  // Script 1 without a title command runs from its start, and goes on in script 7 again.
  EXPECT_EQ(Script(), 7);
  EXPECT_EQ(Task(), task::WaitKey);
  EXPECT_GE(FrameCount() - frames, 8);
}

TEST_F(MainLoop, TheNoticeLineStaysAboutThreeSeconds) {
  Start(R"(sysmenu 1
allowskip 1
msg "一"
msg "二"
wait click
)");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Passes(1);  // the popup menu's items follow the task at the start of a pass
  Menu(MenuItem::menuSSkip);
  ASSERT_EQ(Notice(), u"シーンスキップしました");
  Passes(290);
  EXPECT_EQ(Notice(), u"シーンスキップしました");
  Passes(20);
  EXPECT_EQ(Notice(), u"");
}

TEST_F(MainLoop, EveryFiftiethTickForgetsEffectsThatHaveStopped) {
  // The effect's file is missing, so nothing plays and the effect has ended at once.
  Start(R"(se2 7
wait click
)");
  ASSERT_EQ(EffectKept(2), 7);
  // Within half a second a save no longer restarts it.
  EXPECT_TRUE(RunUntil([&] { return EffectKept(2) == 0; }, 55));
}

TEST_F(MainLoop, PlayMenuItemsAreEnabledOnlyWhileAMessageOrChoiceWaits) {
  // Before a game is started from the title (as in a scene replay), saving is off, and the save buttons
  // show disabled.
  Start(R"(sysmenu 1
wait click
msg "一"
sysmenu 0
msg "二"
title
sysmenu 1
msg "三"
wait click
)");
  ASSERT_EQ(Task(), task::WaitKey);
  Passes(1);
  EXPECT_FALSE(MenuItemEnabled(MenuItem::menuKSkip));
  EXPECT_TRUE(MenuItemEnabled(MenuItem::menuQuit));

  Click(400, 300);
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Passes(1);
  EXPECT_TRUE(MenuItemEnabled(MenuItem::menuKSkip));
  EXPECT_FALSE(MenuItemEnabled(MenuItem::menuSave));
  EXPECT_FALSE(MenuItemEnabled(MenuItem::menuLoad));
  EXPECT_EQ(ButtonLook(button::QuickSave), button_state::Disabled);
  EXPECT_EQ(ButtonLook(button::LoadScreen), button_state::Disabled);
  EXPECT_EQ(ButtonLook(button::MusicVariant), button_state::Normal);

  // The menu forbidden: none of them.
  Click(400, 300);
  ASSERT_TRUE(RunUntil([&] { return Task() == task::MessageWait && Step() > 3; }));
  Passes(1);
  EXPECT_FALSE(MenuItemEnabled(MenuItem::menuAuto));
  EXPECT_FALSE(MenuItemEnabled(MenuItem::menuSave));

  // A new game from the title: saving is on.
  Click(400, 300);
  ASSERT_TRUE(RunUntilTask(task::TitleMenu));
  Click(200, 110);
  ASSERT_TRUE(RunUntil([&] { return Task() == task::MessageWait && Step() > 6; }));
  Passes(1);
  EXPECT_TRUE(MenuItemEnabled(MenuItem::menuKSkip));
  EXPECT_TRUE(MenuItemEnabled(MenuItem::menuSave));
}

}  // namespace
}  // namespace mokuren::testing
