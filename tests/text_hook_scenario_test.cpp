// The text hook and speech as their users meet them: a named pipe that a reader holds open receives each
// message (name put in, speaker in front) and each choice's options the moment they are shown; --speak
// reads aloud what the keys move to, and without speech-dispatcher says so and the game runs on.
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

// What speech-dispatcher's client is given as the player moves through the title, the load screen, a
// choice and the button row with the keys (a stand-in client on PATH writes it down).
TEST_F(TextHookScenario, SpeakReadsEachItemTheKeysMoveTo) {
  BuildTestGame(dir_.path(),
                TestGame{{{1, "cursor 1\nsysmenu 0\ntitle\nsysmenu 1\nchoice \"一,二\"\nmsg \"おわり\"\n"}}, {}, {}});
  const std::filesystem::path bin = dir_.path() / "bin", spoken = dir_.path() / "spoken.txt";
  std::filesystem::create_directories(bin);
  WriteFile(bin / "spd-say", "#!/bin/sh\nexec cat >> \"" + spoken.string() + "\"\n");
  std::filesystem::permissions(bin / "spd-say", std::filesystem::perms::owner_all);
  WriteFile(Path("events.txt"),
            "0 wait title\n+50 key Down\n+50 key Down\n+50 key Enter\n+600 key Down\n+50 key Escape\n+100 key Up\n"
            "+50 key Enter\n0 wait choice\n+50 key Down\n+50 key Enter\n0 wait message\n+50 key Right\n");
  const std::string path = getenv("PATH");
  setenv("PATH", (bin.string() + ":" + path).c_str(), 1);
  const int status = RunProgram(
      "'" + dir_.path().string() + "' --headless --speak --end-after-events 200 --events '" + Path("events.txt") + "'",
      {}, Path("err.txt"));
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(status, 0) << ReadFile(Path("err.txt"));
  const std::string expected =
      "はじめから\nつづきから\nロード　1ページ\n1番　空き\nはじめから\n1. 一。2. 二。\n1. 一\nおわり\nＢＧＭ切替\n";
  // The client may still be writing once the game has ended.
  WaitUntil([&] { return ReadFile(spoken).size() >= expected.size(); }, std::chrono::seconds(10));
  EXPECT_EQ(ReadFile(spoken), expected);
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
