// mokuren-test on a small game: goldens made with --update pass on the same game, and a single changed
// character of a message, or a track in another pitch, makes the test fail with its difference shown.
#include <gtest/gtest.h>

#include "ogg_encode.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"

namespace fs = std::filesystem;

namespace mokuren::testing {
namespace {

class TestRunner : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(tests_); }

  void Build(const std::string& message) {
    TestGame game;
    game.scripts[1] = "bgm 1, 1\nmsg \"" + message + "\"\nwait click\n";
    BuildTestGame(game_, game);
  }
  void Music(double hz) {
    fs::create_directories(game_ / "Sound");
    WriteFile(game_ / "Sound" / "M01.ogg", EncodeOgg(Sine(hz, 12000, 3, 2, 44100), 2, 44100));
  }
  // mokuren-test's exit status; its output is kept in output_.
  int Run(const std::string& options = {}) {
    const fs::path out = dir_.path() / "output.txt";
    const std::string command = std::string(MOKUREN_BIN_DIR) + "/mokuren-test " + options + " --results " +
                                results_.string() + " " + tests_.string() + " > " + out.string() + " 2>&1";
    const int status = std::system(command.c_str());
    output_ = ReadFile(out);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  TempDir dir_;
  const fs::path game_ = dir_.path() / "game";
  const fs::path tests_ = game_ / "tests";
  const fs::path results_ = dir_.path() / "results";
  std::string output_;
};

TEST_F(TestRunner, OneChangedCharacterFailsAndTheTrueTextPasses) {
  Music(440);
  Build("ミナ「おはよう、今日もいい天気だね。」");
  WriteFile(tests_ / "greeting.events", "# mokuren-test: sound=off\n1500 screenshot greeting.png\n");
  ASSERT_EQ(Run("--update"), 0) << output_;
  EXPECT_NE(output_.find("greeting.png: no golden yet: written"), std::string::npos) << output_;
  ASSERT_TRUE(fs::exists(tests_ / "greeting.png"));
  EXPECT_EQ(Run(), 0) << output_;

  Build("ミナ「おはよう、今日もいい天気だよ。」");
  EXPECT_EQ(Run(), 1) << output_;
  EXPECT_NE(output_.find("greeting.png: "), std::string::npos) << output_;
  EXPECT_TRUE(fs::exists(results_ / "greeting" / "greeting.png.diff.png"));
  EXPECT_NE(ReadFile(results_ / "report.html").find("greeting.png.diff.png"), std::string::npos);

  Build("ミナ「おはよう、今日もいい天気だね。」");
  EXPECT_EQ(Run(), 0) << output_;
}

TEST_F(TestRunner, MusicInAnotherPitchFailsTheSound) {
  Music(440);
  Build("ミナ「おはよう。」");
  WriteFile(tests_ / "music.events", "2000 screenshot music.png\n");
  ASSERT_EQ(Run("--update"), 0) << output_;
  ASSERT_TRUE(fs::exists(tests_ / "music.sound"));
  ASSERT_TRUE(fs::exists(tests_ / "music.trace"));

  Music(660);
  EXPECT_EQ(Run(), 1) << output_;
  // The console says what differs, not only that it does.
  EXPECT_NE(output_.find("music.sound: the sound differs:\n        second 0, left: pitch "), std::string::npos)
      << output_;
  EXPECT_EQ(output_.find("music.png:"), std::string::npos) << output_;
  EXPECT_EQ(output_.find("music.trace:"), std::string::npos) << output_;
  // Once looked at, the new sound becomes the golden one.
  EXPECT_EQ(Run("--update"), 0) << output_;
  EXPECT_EQ(Run(), 0) << output_;
}

TEST_F(TestRunner, AMistakeInTheHeaderFailsTheTestAtItsLine) {
  Build("ミナ「おはよう。」");
  WriteFile(tests_ / "typo.events", "# a test\n# mokuren-test: tolerence=4\n1000 screenshot typo.png\n");
  EXPECT_EQ(Run("--update"), 1) << output_;
  EXPECT_NE(output_.find("typo.events:2: 'tolerence=4' is not a setting"), std::string::npos) << output_;
}

TEST_F(TestRunner, WaitsSurviveAMessageAddedBeforeTheChoiceWhereTimesDoNot) {
  auto build = [&](const std::string& before) {
    TestGame game;
    game.scripts[1] = "sysmenu 1\nmsg \"はじめのメッセージです。\"\n" + before + "choice \"はい,いいえ\"\nwait click\n";
    BuildTestGame(game_, game);
  };
  // Both play in auto mode up to the choice and look at it. The sequence of the trace changes with a
  // message by design, so only the screen is compared.
  const std::string header = "# mokuren-test: sound=off trace=off\n";
  build("");
  WriteFile(tests_ / "timed.events", header + "1000 menu menuAuto\n3500 screenshot timed.png\n");
  WriteFile(tests_ / "waits.events",
            header + "wait message\n+0 menu menuAuto\nwait choice\n+50 screenshot waits.png\n");
  ASSERT_EQ(Run("--update"), 0) << output_;
  ASSERT_EQ(Run(), 0) << output_;

  build("msg \"その前に、ひとこと。\"\n");
  EXPECT_EQ(Run(), 1) << output_;
  EXPECT_NE(output_.find("FAIL timed"), std::string::npos) << output_;
  EXPECT_NE(output_.find("ok   waits"), std::string::npos) << output_;
}

}  // namespace
}  // namespace mokuren::testing
