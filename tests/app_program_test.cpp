// The program as automation and players meet it: the command line, the events file, the trace, the
// close question and the single-instance guard.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>

#include "app/event_script.h"
#include "app/launch_options.h"
#include "dialogs/TQueryForm.h"
#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

TEST(CommandLine, ParsesTheAutomationOptions) {
  const char* argv[] = {"mokuren", "/games/x", "--headless", "--events",       "e.txt", "--max-ms",
                        "1500",    "--trace",  "t.txt",      "--record-audio", "a.wav"};
  ParseResult r = ParseCommandLine(11, argv);
  ASSERT_TRUE(r.error.empty()) << r.error;
  EXPECT_EQ(r.options.gameDir, "/games/x");
  EXPECT_TRUE(r.options.headless);
  EXPECT_EQ(r.options.eventsFile, "e.txt");
  EXPECT_EQ(r.options.maxMs, 1500u);
  EXPECT_EQ(r.options.traceFile, "t.txt");
  EXPECT_EQ(r.options.recordAudio, "a.wav");
}

TEST(CommandLine, RejectsWhatItDoesNotUnderstand) {
  for (std::vector<const char*> argv : {std::vector<const char*>{"mokuren", "--fast"},
                                        {"mokuren", "--max-ms", "soon"},
                                        {"mokuren", "--events"},
                                        {"mokuren", "--scale", "9"},
                                        {"mokuren", "a", "b"}}) {
    EXPECT_FALSE(ParseCommandLine(static_cast<int>(argv.size()), argv.data()).error.empty()) << argv[1];
  }
}

TEST(EventsFile, TakesEventsInTimeOrderWithTextsToTheEndOfTheLine) {
  EventScript events;
  std::string error;
  ASSERT_TRUE(
      events.Parse("# a comment\n\n200 name 山田 太郎\n100 click 10 20   # press\n100 key Enter\n"
                   "300 config speed=1 bgm=50\n",
                   error))
      << error;
  auto due = events.TakeDue(100);
  ASSERT_EQ(due.size(), 2u);
  EXPECT_EQ(due[0].verb, Verb::Click);
  EXPECT_EQ(due[0].point, (Point{10, 20}));
  EXPECT_EQ(due[1].verb, Verb::Key);
  EXPECT_EQ(due[1].key, Key::Enter);
  EXPECT_TRUE(events.TakeDue(199).empty());
  due = events.TakeDue(250);
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].text, "山田 太郎");
  EXPECT_EQ(events.TakeDue(1000).size(), 1u);
  EXPECT_TRUE(events.Empty());
}

TEST(EventsFile, WaitsAndRelativeTimesKeepTheirPlaceAndCountFromTheLineBefore) {
  EventScript events;
  std::string error;
  ASSERT_TRUE(
      events.Parse("300 key Enter\n100 click 1 1\nwait message\n+50 click 2 2\n0 wait task -1 900\n"
                   "+0 move 3 3\n",
                   error))
      << error;
  EXPECT_EQ(events.TakeNextDue(100)->point, (Point{1, 1}));  // the absolute lines before a wait, in time order
  EXPECT_FALSE(events.TakeNextDue(299));
  EXPECT_EQ(events.TakeNextDue(300)->verb, Verb::Key);
  const std::optional<Event> wait = events.TakeNextDue(300);  // due at once; the engine holds it
  ASSERT_EQ(wait->verb, Verb::Wait);
  EXPECT_EQ(wait->waitFor, WaitFor::Message);
  EXPECT_EQ(wait->timeoutMs, EventScript::kDefaultWaitTimeoutMs);
  EXPECT_FALSE(events.TakeNextDue(349));  // 50 ms after the wait was taken
  EXPECT_EQ(events.TakeNextDue(350)->point, (Point{2, 2}));
  const std::optional<Event> task = events.TakeNextDue(350);
  EXPECT_EQ(task->taskCode, -1);
  EXPECT_EQ(task->timeoutMs, 900u);
}

TEST(EventsFile, NamesTheLineOfAMalformedEvent) {
  const char* bad[] = {"100 click 10\n",        "soon click 1 2\n",      "100 jump\n",
                       "100 key Home\n",        "100 wheel sideways\n",  "100 save 101\n",
                       "100 dialog maybe\n",    "100 menu menuFoo\n",    "100 config bgm=101\n",
                       "100 config mode=big\n", "100 debug FOO f.txt\n", "+ click 1 2\n",
                       "wait soon\n",           "wait task\n",           "wait task 6g02\n",
                       "wait message 0\n",      "wait idle 10 20\n"};
  for (const char* text : bad) {
    EventScript events;
    std::string error;
    EXPECT_FALSE(events.Parse(std::string("0 move 1 1\n") + text, error)) << text;
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
  }
}

class Program : public ::testing::Test {
 protected:
  void SetUp() override { WriteMinimalGame(dir_.path()); }
  std::string Path(const char* name) { return (dir_.path() / name).string(); }
  TempDir dir_;
};

TEST_F(Program, HeadlessRunEndsAfterMaxMsAndTracesInitialisation) {
  std::string trace = Path("trace.txt");
  EXPECT_EQ(RunProgram("'" + dir_.path().string() + "' --headless --max-ms 1000 --trace '" + trace + "'"), 0);
  auto lines = Lines(ReadFile(trace));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "0 TC=-1 NO=0 ST=0");
  EXPECT_EQ(lines[1], "0 TC=0 NO=1 ST=-1");
}

TEST_F(Program, HelpVersionAndBadOptions) {
  std::string out = Path("out.txt"), err = Path("err.txt");
  EXPECT_EQ(RunProgram("--version", out), 0);
  EXPECT_EQ(ReadFile(out).rfind("Mokuren ", 0), 0u);
  // The routines the environment asks for are the ones in use (CI's run on the reference depends on it).
  EXPECT_EQ(std::system(("MOKUREN_SCALAR=1 " + ProgramPath() + " --pixel-routines >'" + out + "'").c_str()), 0);
  EXPECT_EQ(ReadFile(out), "scalar\n");
  EXPECT_EQ(RunProgram("--help", out), 0);
  EXPECT_NE(ReadFile(out).find("--headless"), std::string::npos);
  EXPECT_EQ(RunProgram("--no-such-option", {}, err), 2);
  EXPECT_NE(ReadFile(err).find("--no-such-option"), std::string::npos);
  EXPECT_EQ(RunProgram("'" + Path("missing") + "' --headless", {}, err), 2);
  EXPECT_NE(ReadFile(err).find("missing"), std::string::npos);
  // A folder that holds no game says how to give the program one, in Japanese and in English, or in the
  // engine's English alone.
  std::filesystem::create_directory(Path("empty"));
  EXPECT_EQ(RunProgram("'" + Path("empty") + "' --headless --lang ja", {}, err), 2);
  EXPECT_NE(ReadFile(err).find("ゲームのフォルダを指定して"), std::string::npos) << ReadFile(err);
  EXPECT_NE(ReadFile(err).find("mokuren GAME_DIR"), std::string::npos) << ReadFile(err);
  EXPECT_EQ(RunProgram("'" + Path("empty") + "' --headless --lang en", {}, err), 2);
  EXPECT_EQ(ReadFile(err), "mokuren: No game found: " + Path("empty") +
                               " has no SCRIPT.DAT. Start the program with the game's folder (mokuren GAME_DIR).\n");
}

TEST_F(Program, MalformedEventsLineExitsWithStatus2NamingTheLine) {
  WriteFile(Path("events.txt"), "0 move 5 5\n10 click 1\n");
  std::string err = Path("err.txt");
  EXPECT_EQ(RunProgram("'" + dir_.path().string() + "' --headless --events '" + Path("events.txt") + "'", {}, err), 2);
  EXPECT_NE(ReadFile(err).find("line 2"), std::string::npos) << ReadFile(err);
}

// Files named on the command line and in events are where the player started the program, not in the
// game directory the engine works in.
TEST_F(Program, RelativeFilesAreTakenFromWhereTheProgramWasStarted) {
  std::filesystem::path launch = dir_.path() / "launch";
  std::filesystem::create_directory(launch);
  WriteFile(launch / "events.txt", "100 screenshot shot.png\n");
  std::string cmd = "cd '" + launch.string() + "' && " + ProgramPath() + " '" + dir_.path().string() +
                    "' --headless --max-ms 300 --events events.txt --trace trace.txt >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_TRUE(std::filesystem::exists(launch / "trace.txt"));
  EXPECT_TRUE(std::filesystem::exists(launch / "shot.png"));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "trace.txt"));
}

// What the run was asked to leave behind and cannot: a screenshot into a named pipe nothing reads is
// refused at once, and a trace or recording on a full disk ends the run with status 5 and says why.
TEST_F(Program, AnOutputThatCannotBeWrittenEndsTheRunSayingSo) {
  const std::string game = "'" + dir_.path().string() + "' --headless --max-ms 3000";
  const std::string pipe = Path("pipe"), err = Path("err.txt");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  WriteFile(Path("shot.txt"), "100 screenshot " + pipe + "\n");
  EXPECT_EQ(RunProgram(game + " --events '" + Path("shot.txt") + "'", {}, err), 5);
  EXPECT_NE(
      ReadFile(err).find("screenshot " + pipe + ": cannot write " + pipe + ": it is a named pipe that nothing reads"),
      std::string::npos)
      << ReadFile(err);
  EXPECT_EQ(RunProgram(game + " --trace '" + pipe + "'", {}, err), 2);
  EXPECT_NE(ReadFile(err).find("it is a named pipe that nothing reads"), std::string::npos) << ReadFile(err);
  EXPECT_EQ(RunProgram(game + " --trace /dev/full", {}, err), 5);
  EXPECT_NE(ReadFile(err).find("--trace /dev/full: No space left on device"), std::string::npos) << ReadFile(err);
  EXPECT_EQ(RunProgram(game + " --record-audio /dev/full", {}, err), 5);
  EXPECT_NE(ReadFile(err).find("--record-audio /dev/full: No space left on device"), std::string::npos)
      << ReadFile(err);
}

// The close question: "キャンセル" keeps the game running; "ＯＫ" ends it.
TEST_F(Program, QuitAsksAndCancelKeepsTheGameRunning) {
  std::string trace = Path("trace.txt");
  WriteFile(Path("cancel.txt"), "100 quit\n200 dialog cancel\n");
  EXPECT_EQ(RunProgram("'" + dir_.path().string() + "' --headless --max-ms 2000 --trace '" + trace + "' --events '" +
                       Path("cancel.txt") + "'"),
            0);
  // Still running at the end of its time: the trace goes on after the question was refused.
  EXPECT_GE(Lines(ReadFile(trace)).size(), 2u);

  WriteFile(Path("ok.txt"), "100 quit\n200 dialog ok\n300 key Enter\n");
  EXPECT_EQ(RunProgram("'" + dir_.path().string() + "' --headless --events '" + Path("ok.txt") + "'"), 0);
}

TEST_F(EngineFixture, CloseQuestionIsAskedAndCancelLeavesEverythingAsItWas) {
  StartEngine("100 quit\n300 dialog cancel\n600 quit\n700 dialog ok\n");
  Passes(10);
  int64_t passes = form_->PassCount();
  Passes(1);  // the quit arrives: this pass asks, and the engine runs on until the answer
  EXPECT_EQ(form_->QueryForm->Label1, u"ゲームを終了しますか？");
  EXPECT_GE(form_->PassCount() - passes, 20);
  EXPECT_FALSE(form_->ModalOpen(FormId::TQueryForm));
  EXPECT_FALSE(form_->Terminated());
  EXPECT_EQ(Task(), task::Script);
  Passes(100);
  EXPECT_TRUE(form_->Terminated());
}

TEST_F(EngineFixture, EngineKeepsRunningWhileTheQuestionIsUp) {
  StartEngine("100 quit\n1100 dialog ok\n");
  Passes(10);
  int64_t frames = FrameCount();
  int32_t ticks = form_->DelayTicks;
  Passes(1);  // this one pass runs the whole modal loop until the answer
  EXPECT_TRUE(form_->Terminated());
  EXPECT_GE(FrameCount() - frames, 28);
  EXPECT_GE(form_->DelayTicks - ticks, 95);
}

TEST_F(EngineFixture, StartUpFindsTheDebugMarkerInAnyLetterCase) {
  WriteFile(dir_.path() / "DebugMode.TXT", "");
  StartEngine();
  Passes(1);
  EXPECT_TRUE(platform().FormVisible(FormId::TDebugForm));
}

TEST_F(EngineFixture, StartUpWithoutDebugMarkerAndWithDefaultName) {
  StartEngine();
  Passes(1);
  EXPECT_FALSE(platform().FormVisible(FormId::TDebugForm));
  EXPECT_EQ(HeroName(), u"カザミネ");
  EXPECT_EQ(Kept().AlbumBgmNo, 9);
  const std::array<int, 10> looks{-1, -1, 0, 4, 0, 0, 0, 0, 0, 0};
  for (int n = 1; n <= 10; ++n) EXPECT_EQ(ButtonLook(n), looks[static_cast<size_t>(n - 1)]) << "button " << n;
}

// A second windowed start of the same game ends at once, with status 0, no window and a word on
// standard error; another game runs beside it.
TEST_F(Program, SecondWindowedStartOfTheSameGameEndsAtOnceAndAnotherGameRunsBeside) {
#ifndef MOKUREN_TEST_WINDOWED
  GTEST_SKIP() << "this build has no window backend";
#endif
  std::string runtime = Path("runtime");
  std::filesystem::create_directory(runtime);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::string firstTrace = Path("first-trace.txt");
  pid_t first = fork();
  if (first == 0) {
    std::string exe = ProgramPath();
    execl(exe.c_str(), exe.c_str(), dir_.path().c_str(), "--max-ms", "4000", "--trace", firstTrace.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  // The first instance takes the lock before its engine starts, and traces once its loop runs.
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(firstTrace); }, std::chrono::seconds(20)));
  std::string secondTrace = Path("second-trace.txt");
  EXPECT_EQ(RunProgram("'" + dir_.path().string() + "' --trace '" + secondTrace + "'", {}, Path("second-err.txt")), 0);
  // The second one never started the engine: it traced nothing.
  EXPECT_FALSE(std::filesystem::exists(secondTrace));
  EXPECT_NE(ReadFile(Path("second-err.txt")).find("is already running"), std::string::npos);
  const std::filesystem::path other = Path("other-game");
  std::filesystem::create_directory(other);
  WriteMinimalGame(other);
  const std::string otherTrace = Path("other-trace.txt");
  EXPECT_EQ(RunProgram("'" + other.string() + "' --max-ms 100 --trace '" + otherTrace + "'"), 0);
  EXPECT_TRUE(std::filesystem::exists(otherTrace));
  int status = 0;
  waitpid(first, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace mokuren::testing
