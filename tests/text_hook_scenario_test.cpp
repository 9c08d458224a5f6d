// The text hook and speech as their users meet them: a named pipe that a reader holds open receives each
// message (name put in, speaker in front) and each choice's options the moment they are shown; --speak
// without speech-dispatcher says so and the game runs on.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/engine_fixture.h"
#include "support/game_builder.h"

namespace mokuren::testing {
namespace {

class TextHookScenario : public ::testing::Test {
 protected:
  std::string Path(const char* name) { return (dir_.path() / name).string(); }
  TempDir dir_;
};

TEST_F(TextHookScenario, PipeReceivesMessagesAndChoicesAndSpeakWithoutSpeechDispatcherRunsOn) {
  BuildTestGame(dir_.path(), TestGame{{{1,
                                        "msg \"①は目を覚ました。/朝だ。\"\n"
                                        "msg \"ハルカ「おはよう、①くん」\"\n"
                                        "choice \"学校へ行く,家に帰る\"\n"
                                        "msg \"終わり\"\n"}},
                                      {},
                                      {}});
  const std::string hook = Path("hook"), events = Path("events.txt"), err = Path("err.txt");
  ASSERT_EQ(mkfifo(hook.c_str(), 0600), 0);
  // The reader is there first, as a translation tool would be.
  const int reader = open(hook.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  WriteFile(events, "600 key Enter\n1200 key Enter\n");
  const std::string path = getenv("PATH");
  setenv("PATH", "/nonexistent", 1);
  const int status = RunProgram("'" + dir_.path().string() + "' --headless --max-ms 2000 --speak --text-hook '" + hook +
                                    "' --events '" + events + "'",
                                {}, err);
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(status, 0);
  EXPECT_NE(ReadFile(err).find("--speak: speech-dispatcher is not installed"), std::string::npos) << ReadFile(err);
  std::string lines(4096, '\0');
  const ssize_t n = read(reader, lines.data(), lines.size());
  close(reader);
  lines.resize(n > 0 ? static_cast<size_t>(n) : 0);
  EXPECT_EQ(lines,
            "カザミネは目を覚ました。朝だ。\n"
            "ハルカ「おはよう、カザミネくん」\n"
            "1. 学校へ行く\n"
            "2. 家に帰る\n");
}

TEST_F(TextHookScenario, OutputFilesThatCannotBeOpenedEndTheRunWithStatus2) {
  WriteMinimalGame(dir_.path());
  const std::string err = Path("err.txt"), missing = Path("no-such-folder/out");
  for (const char* option : {"--trace", "--record-audio", "--text-hook"}) {
    EXPECT_EQ(
        RunProgram("'" + dir_.path().string() + "' --headless --max-ms 100 " + option + " '" + missing + "'", {}, err),
        2)
        << option;
    EXPECT_NE(ReadFile(err).find(missing), std::string::npos) << ReadFile(err);
  }
}

}  // namespace
}  // namespace mokuren::testing
