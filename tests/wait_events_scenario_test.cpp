// Events files that wait for the game: a wait holds the lines after it until the game takes a player's
// input there, a wait that never comes ends the run with status 3, and a session recorded with
// --record-events replays to the same trace.
#include <gtest/gtest.h>

#include "support/engine_fixture.h"
#include "support/game_builder.h"

namespace fs = std::filesystem;

namespace mokuren::testing {
namespace {

// A message, then a choice of two (bands at y 220-259 and 280-319), then a message for the answer.
const char* kScript =
    "msg \"はじめのメッセージです。\"\n"
    "choice \"はい,いいえ\"\n"
    "msg \"答えを聞きました。\"\n";

class WaitEvents : public EngineFixture {
 protected:
  void Start(const std::string& events, LaunchOptions options = {}) {
    BuildTestGame(dir(), TestGame{{{1, kScript}}, {}, {}});
    StartEngine(events, 0, std::move(options));
  }
  bool RunToEnd() {
    return RunUntil([&] { return form_->Terminated(); }, 20000);
  }
};

TEST_F(WaitEvents, ClicksRightAfterTheirWaitsAreTakenAsAPlayersWouldBe) {
  // No pause after a wait: the click lands the very pass the message is typed whole, or the choice up.
  Start("wait message\n+0 click 400 300\nwait choice\n+0 click 400 300\nwait message\n+0 quit\n+0 dialog ok\n");
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(Var('W', 1), 2);
  EXPECT_EQ(form_->automation().ExitStatus(), 0);
}

TEST_F(WaitEvents, AWaitThatDoesNotComeEndsTheRunNamingItsLine) {
  Start("# the choice needs a click first\nwait choice 800\n");
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(form_->automation().ExitStatus(), 3);
  EXPECT_EQ(ErrorsWith("events.txt line 2: wait choice did not come within 800 ms"), 1)
      << ::testing::PrintToString(Errors());
}

TEST_F(WaitEvents, ASessionRecordedByHandReplaysToTheSameTrace) {
  const fs::path recorded = dir() / "played.events", first = dir() / "played.trace", replay = dir() / "replay.trace";
  LaunchOptions recording;
  recording.recordEvents = recorded.string();
  recording.traceFile = first.string();
  Start({}, recording);
  // A player who takes their time: clicks between passes, as the window delivers them, and a key.
  ASSERT_TRUE(RunUntilTask(0x6002));
  RunMs(730);
  Click(400, 300);
  ASSERT_TRUE(RunUntilTask(0x6802));
  RunMs(1210);
  Click(400, 240);
  ASSERT_TRUE(RunUntilTask(0x6002));
  RunMs(400);
  Tap(Key::Enter);
  RunMs(1000);
  const uint32_t played = Now();
  form_.reset();
  const std::string file = ReadFile(recorded);
  EXPECT_NE(file.find("wait message\n+720 click 400 300\nwait choice\n+1200 click 400 240\nwait message\n"),
            std::string::npos)
      << file;

  fs::remove(dir() / "SAVE.DAT");
  LaunchOptions replaying;
  replaying.traceFile = replay.string();
  StartEngine(file, 0, replaying);
  RunMs(played);
  EXPECT_EQ(Var('W', 1), 1);
  EXPECT_EQ(ReadFile(replay), ReadFile(first));
}

// Everything a player does goes into a recording after a wait for the window it is done in: the name
// dialog, the save screen and its comment dialog, the message under the floating window. Replayed on a
// story that takes longer before the name is asked, the recording still meets each window; the session
// written with times does not.
TEST_F(WaitEvents, ARecordingWaitsForEveryWindowAndSurvivesALongerStory) {
  const std::string played =
      "wait title\n"
      "+100 click 200 110\n"  // "はじめから"
      "+300 name ミナト\n"
      "+1200 menu menuSave\n"
      "+200 click 100 100\n"   // slot 1 saved
      "+200 rclick 100 100\n"  // its comment
      "+200 comment はじめて\n"
      "+100 dialog ok\n"
      "+200 click 600 580\n"  // the screen closed
      "+200 menu menuFloat\n"
      "+200 float-click 400 100\n";  // on to the second message
  auto build = [&](const std::string& before) {
    BuildTestGame(dir(),
                  TestGame{{{1, "title\n" + before +
                                    "heroname\nsysmenu 1\nmsg \"①、おはよう。\"\nmsg \"二つ目。\"\nwait click\n"}},
                           {},
                           {}});
  };
  auto play = [&](const std::string& events, LaunchOptions options) {
    form_.reset();
    fs::remove(dir() / "SAVE.DAT");
    StartEngine(events, 0, std::move(options));
    RunMs(6000);
  };
  const fs::path recorded = dir() / "played.events";
  LaunchOptions recording;
  recording.recordEvents = recorded.string();
  build("");
  play(played, recording);
  ASSERT_EQ(Step(), 4);
  form_.reset();  // the recording is complete once the game ends
  const std::string file = ReadFile(recorded);
  std::string waits;
  for (size_t at = 0; (at = file.find("\n", at)) != std::string::npos;)
    if (++at < file.size() && file[at] != '+') waits += file.substr(at, file.find('\n', at) - at) + "\n";
  EXPECT_EQ(waits,
            "wait title\nwait name\nwait message\nwait dialog saveload\nwait dialog saveload\nwait dialog comment\n"
            "wait dialog saveload\nwait message\nwait message\n")
      << file;

  build("wait 1000\n");  // every step one later
  play(played, {});
  EXPECT_NE(HeroName(), u"ミナト") << "the name came before its dialog";
  play(file, {});
  EXPECT_EQ(Step(), 5) << file;
  EXPECT_EQ(HeroName(), u"ミナト");
  EXPECT_EQ(SavedGame(1).Comment[0], u'は');
  EXPECT_EQ(form_->automation().ExitStatus(), 0);
}

}  // namespace
}  // namespace mokuren::testing
