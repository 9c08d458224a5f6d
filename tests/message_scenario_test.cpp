// Messages and choices as a player meets them: scenarios in the scenario language, run headless through
// the interpreter, driven by clicks, keys and the popup menu.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "base/buttons.h"
#include "base/sound_slots.h"
#include "ogg_encode.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"

namespace mokuren::testing {
namespace {

class MessageScenario : public EngineFixture {
 protected:
  // Script 1 opens the title menu and, once the player starts a new game, runs `source` (normal play: a
  // scene replay would count everything as read). `events` is the events file.
  void Start(const std::string& source, const std::string& events = {}) {
    BuildTestGame(dir(), TestGame{{{1, "title\n" + source}}, {}, {}});
    StartEngine(events);
    ASSERT_TRUE(RunUntilTask(task::TitleMenu));
    Click(200, 100);  // "start"
  }
  bool UntilWaiting() {
    return RunUntil([&] { return Task() == task::MessageWait || Task() == task::SelectWait; });
  }
  // Waits for the message wait, then clicks it away.
  void ClickThrough() {
    ASSERT_TRUE(UntilWaiting());
    Click(400, 300);
    Passes(1);
  }
  // As the popup menu does: only enabled items act (enabling is refreshed at the start of a pass).
  void Choose(MenuItem item) {
    Passes(1);
    ASSERT_TRUE(platform().MenuEnabled(item));
    Menu(item);
  }
};

const char* kThreeThenFour = R"(sysmenu 1
allowskip 1
*top
msg "一つ目"
msg "二つ目"
msg "三つ目"
F1 = F1 + 1
if F1 < 2
  jump top
endif
msg "四つ目はまだ読んでいない"
msg "五つ目"
wait click
)";

TEST_F(MessageScenario, AClickCompletesTypingWithoutAdvancing) {
  Start(kThreeThenFour);
  ASSERT_TRUE(RunUntil([&] { return Task() == task::MessageTyping; }));
  Passes(1);
  Click(400, 300);
  ASSERT_TRUE(UntilWaiting());
  Passes(100);
  EXPECT_EQ(Task(), task::MessageWait);
  EXPECT_EQ(MessageShown(), u"一つ目");
  ClickThrough();
  ASSERT_TRUE(RunUntil([&] { return Task() == task::MessageTyping; }));
  EXPECT_EQ(MessageShown(), u"二つ目");
}

TEST_F(MessageScenario, ReadSkipRunsThroughReadMessagesAndStopsAtTheFirstUnreadOne) {
  Start(kThreeThenFour);
  for (int i = 0; i < 3; ++i) ClickThrough();  // read once
  ASSERT_TRUE(UntilWaiting());
  ASSERT_EQ(MessageShown(), u"一つ目");
  Choose(MenuItem::menuKSkip);
  const int64_t frames = FrameCount();
  ASSERT_TRUE(RunUntil([&] { return PlayModesNow().ReadSkip == 0; }));
  // Skipping takes about a frame per message, not the typing and waiting.
  EXPECT_LE(FrameCount() - frames, 4);
  ASSERT_TRUE(UntilWaiting());
  EXPECT_EQ(MessageShown(), u"四つ目はまだ読んでいない");
  EXPECT_EQ(PlayModesNow().FastForward, 0);
  // It stays off: the unread message waits for a click.
  Passes(100);
  EXPECT_EQ(MessageShown(), u"四つ目はまだ読んでいない");
  EXPECT_EQ(Task(), task::MessageWait);
  ClickThrough();
  ASSERT_TRUE(UntilWaiting());
  EXPECT_EQ(MessageShown(), u"五つ目");
}

TEST_F(MessageScenario, SceneSkipDrawsNothingAndStopsAtAChoice) {
  Start(R"(sysmenu 1
allowskip 1
*top
msg "一"
msg "二"
msg "三"
F1 = F1 + 1
if F1 < 2
  jump top
endif
choice "はい,いいえ"
wait click
)");
  for (int i = 0; i < 3; ++i) ClickThrough();
  ASSERT_TRUE(UntilWaiting());
  Choose(MenuItem::menuSSkip);
  EXPECT_EQ(Notice(), u"シーンスキップしました");
  const int64_t paints = platform().MainPaints();
  const uint32_t start = Now();
  ASSERT_TRUE(RunUntil([&] { return Task() == task::SelectWait; }));
  EXPECT_EQ(PlayModesNow().SceneSkip, 0);
  EXPECT_EQ(Choices().size(), 2u);
  // Three messages passed within a few passes, and at most the pass that put up the choice painted.
  EXPECT_LE(Now() - start, 100u);
  EXPECT_LE(platform().MainPaints(), paints + 1);
}

TEST_F(MessageScenario, HeldEnterAdvancesAboutEvery100ms) {
  Start(R"(msg "一"
msg "二"
msg "三"
msg "四"
msg "五"
msg "六"
wait click
)");
  ASSERT_TRUE(RunUntil([&] { return Task() == task::MessageTyping; }));
  Hold(Key::Enter, true);
  const uint32_t start = Now();
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"六" && Task() == task::MessageWait; }));
  // Five messages passed, each held back by the key lock for about 100 ms.
  const uint32_t perMessage = (Now() - start) / 5;
  EXPECT_GE(perMessage, 90u);
  EXPECT_LE(perMessage, 130u);
}

TEST_F(MessageScenario, AutoModeAdvancesAboutTwoAndAHalfSecondsAfterTyping) {
  Start(R"(sysmenu 1
msg "一"
msg "二"
msg "三"
wait click
)");
  ASSERT_TRUE(UntilWaiting());
  Choose(MenuItem::menuAuto);
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"二"; }));
  ASSERT_TRUE(UntilWaiting());
  const uint32_t typed = Now();
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"三"; }));
  EXPECT_GE(Now() - typed, 2500u);
  EXPECT_LE(Now() - typed, 2560u);
  EXPECT_EQ(PlayModesNow().AutoMode, 1);
}

TEST_F(MessageScenario, AChoiceByClickBranchesTheStory) {
  Start(R"(msg "どうする？"
choice "はい,いいえ"
if W1 == 2
  F2 = 5
  msg "いいえを選んだ"
else
  msg "はいを選んだ"
endif
wait click
)");
  ClickThrough();
  ASSERT_TRUE(RunUntil([&] { return Task() == task::SelectWait; }));
  // Enter with the mouse over no line does nothing.
  MoveTo(400, 100);
  Hold(Key::Enter, true);
  Passes(3);
  Hold(Key::Enter, false);
  EXPECT_EQ(Task(), task::SelectWait);
  // A click on line 2 (rows 280-319) takes "いいえ".
  Click(400, 300);
  ASSERT_TRUE(RunUntil([&] { return Task() == task::MessageWait; }));
  EXPECT_EQ(Var('W', 1), 2);
  EXPECT_EQ(Var('F', 2), 5);
  EXPECT_EQ(MessageShown(), u"いいえを選んだ");
}

// The message log, paged with the wheel and PageUp / PageDown inside the message wait.
class MessageLogScenario : public MessageScenario {
 protected:
  // A key pressed once the lock of the last key has run out, and the passes of a frame or so.
  void Tap(Key key) {
    Passes(12);
    EngineFixture::Tap(key);
    Passes(4);
  }
  void WheelUp() {
    Wheel(true);
    Passes(1);
  }
  // A log key, then time for the entry it brings to be typed whole (a key while it types only finishes it).
  void Step(Key key) {
    Tap(key);
    Passes(40);
  }
};

TEST_F(MessageLogScenario, KeepsTheLatest256EntriesAndPagesBetweenThem) {
  // 300 messages run through with Ctrl (debug mode, by its marker file), then a choice.
  WriteFile(dir() / "debugmode.txt", "");
  std::string script = "sysmenu 1\nallowskip 1\n";
  for (int i = 1; i <= 300; ++i) script += "msg \"m" + std::to_string(i) + "\"\n";
  script += "choice \"終わり\"\nmsg \"今\"\nwait click\n";
  Start(script);
  Hold(Key::Ctrl, true);
  ASSERT_TRUE(RunUntil([&] { return Task() == task::SelectWait; }, 10000));
  Hold(Key::Ctrl, false);
  Click(400, 280);
  ASSERT_TRUE(RunUntil([&] { return Task() == task::MessageWait && MessageShown() == u"今"; }));

  // The newest entry is the choice: its heading and the chosen text on two lines, grey, typed again.
  Step(Key::PageUp);
  EXPECT_EQ(LogEntry(), 1);
  EXPECT_EQ(MessageLines()[1], u"【選択肢】");
  EXPECT_EQ(MessageLines()[2], u"終わり");
  // PageDown steps forward, and from the newest entry back to the current message.
  Step(Key::PageUp);
  EXPECT_EQ(MessageLines()[1], u"m300");
  Step(Key::PageDown);
  EXPECT_EQ(LogEntry(), 1);
  EXPECT_EQ(MessageLines()[1], u"【選択肢】");
  Step(Key::PageDown);
  EXPECT_EQ(LogEntry(), 0);
  EXPECT_EQ(MessageLines()[1], u"今");
  // The 256th step reaches the oldest entry kept (m46); the 257th stays on it.
  for (int i = 1; i <= 256; ++i) WheelUp();
  EXPECT_EQ(LogEntry(), 256);
  EXPECT_EQ(MessageLines()[1], u"m46");
  WheelUp();
  EXPECT_EQ(LogEntry(), 256);
  EXPECT_EQ(MessageLines()[1], u"m46");
  // A click returns to the current message.
  Click(400, 300);
  Passes(1);
  EXPECT_EQ(LogEntry(), 0);
  EXPECT_EQ(MessageLines()[1], u"今");
}

// A log key pressed while an old entry is still being typed shows it whole, and only the next press steps.
TEST_F(MessageLogScenario, AKeyWhileAnEntryIsTypedShowsItWholeAndTheNextSteps) {
  Start("sysmenu 1\nmsg \"" + std::string(20, 'a') +
        "\"\nmsg \"一つ目の行はとても長くて、二つ目の行まで続き、三つ目の行にも届くほどの台詞になっている。\"\nmsg "
        "\"今\"\nwait click\n");
  ASSERT_TRUE(UntilWaiting());
  ClickThrough();
  ClickThrough();
  ASSERT_TRUE(UntilWaiting());
  Tap(Key::PageUp);
  ASSERT_EQ(LogEntry(), 1);
  Tap(Key::PageUp);
  EXPECT_EQ(LogEntry(), 1) << "the first press only finished the typing";
  Tap(Key::PageUp);
  EXPECT_EQ(LogEntry(), 2);
}

TEST_F(MessageLogScenario, AnEntryReplaysItsVoiceAndEnterComesBackAtOnceWithoutIt) {
  std::filesystem::create_directories(dir() / "VOICE");
  WriteFile(dir() / "VOICE" / "v1.ogg", EncodeOgg(Sine(440, 8000, 5.0, 1, 22050), 1, 22050));
  Start(R"(sysmenu 1
msg "ミナ「声のある台詞は、読み返すときにもう一度ゆっくりと打ち出されていく。」", "v1"
msg "①さん「こんにちは」"
heroname
msg "今"
wait click
)",
        "wait task 800201\n+0 name タロウ\n");
  // An empty log: PageUp changes nothing.
  ASSERT_TRUE(UntilWaiting());
  const auto first = MessageLines();
  Tap(Key::PageUp);
  EXPECT_EQ(LogEntry(), 0);
  EXPECT_EQ(MessageLines(), first);
  ClickThrough();
  ClickThrough();
  ASSERT_TRUE(UntilWaiting());
  // The hero's name is the one current when the entry is viewed, not when it was shown.
  Step(Key::PageUp);
  EXPECT_EQ(MessageLines()[0], u"タロウさん");
  // The old text is typed again, and its voice plays.
  Tap(Key::PageUp);
  EXPECT_EQ(MessageLines()[0], u"ミナ");
  EXPECT_LT(Typed(), 20);
  EXPECT_GE(SoundSlot(stream::Voice), 2);
  EXPECT_EQ(ButtonLook(button::Voice), 0) << "the voice button can replay it";
  // Enter, held as a player holds it, comes back to the current message, whole, with the voice stopped,
  // and does not pass it.
  Hold(Key::Enter, true);
  Passes(15);
  Hold(Key::Enter, false);
  EXPECT_EQ(LogEntry(), 0);
  EXPECT_EQ(MessageLines()[1], u"今");
  EXPECT_GE(Typed(), 255);
  EXPECT_LE(SoundSlot(stream::Voice), 1);
  Passes(20);
  EXPECT_EQ(Task(), task::MessageWait);
  EXPECT_EQ(MessageShown(), u"今");
}

// A click or Enter while Space has hidden the window does nothing, then or once the menu shows it again.
using HiddenWindow = EngineFixture;
TEST_F(HiddenWindow, InputWhileHiddenIsNotKeptForLater) {
  StartScript("sysmenu 1\nmsg \"一\"\nF1 = 1\nmsg \"二\"\nwait click\n");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Tap(Key::Space);
  Click(400, 300);
  Tap(Key::Enter);
  Passes(20);
  Menu(MenuItem::menuWindow);
  Passes(50);
  EXPECT_EQ(Var('F', 1), 0);
  EXPECT_EQ(Task(), task::MessageWait);
}

}  // namespace
}  // namespace mokuren::testing
