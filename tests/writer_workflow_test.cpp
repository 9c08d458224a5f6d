// A writer's first evening, as docs/writers.md walks it: mokuren-new makes a game in a fresh folder, and
// with nothing else done it builds, plays headless, lints clean and passes its own test; a one-character
// change to its scene then fails the test, with the test's results kept out of the game.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include "support/engine_fixture.h"

namespace fs = std::filesystem;

namespace mokuren::testing {
namespace {

struct ToolRun {
  int status;
  std::string out;
};

// A tool of the build directory, started in `cwd` with its own cache folder; stdout and stderr together.
ToolRun Tool(const fs::path& cwd, const fs::path& cache, const std::string& command) {
  const fs::path out = cache / "out.txt";
  const std::string line = "cd '" + cwd.string() + "' && XDG_CACHE_HOME='" + cache.string() + "' " MOKUREN_BIN_DIR "/" +
                           command + " >'" + out.string() + "' 2>&1";
  const int status = std::system(line.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out)};
}

TEST(WriterWorkflow, NewGameBuildsPlaysLintsCleanAndPassesItsTest) {
  TempDir dir, cache;
  const fs::path game = dir.path() / "haru";
  ToolRun r = Tool(dir.path(), cache.path(), "mokuren-new haru --title 春の試作");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(ReadFile(game / "title.txt"), "春の試作\n");
  for (const char* made : {"SCRIPT.DAT", "GRAPHIC.DAT", "SYSGRP.DAT", "tests/first-message.png", "tests/first.trace"})
    EXPECT_TRUE(fs::exists(game / made)) << made;

  // mokuren-new built it: nothing is built again.
  r = Tool(game, cache.path(), "mokuren-build");
  ASSERT_EQ(r.status, 0) << r.out;
  for (const char* said : {"SCRIPT.DAT: 2 scripts, up to date",
                           "GRAPHIC.DAT: 2 pictures from ./pictures (0 in the "
                           "album), up to date",
                           "SYSGRP.DAT: 93 pictures from ./system, up to date"})
    EXPECT_NE(r.out.find(said), std::string::npos) << said << "\n" << r.out;
  EXPECT_EQ(RunProgram(game.string() + " --headless --max-ms 3000"), 0);
  r = Tool(dir.path(), cache.path(), "mokuren-lint haru");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "mokuren-lint: haru: clean\n");
  // Run from inside the game, as a writer would: the results go to a folder of their own.
  r = Tool(game, cache.path(), "mokuren-test tests");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(fs::exists(cache.path() / "mokuren-test")) << r.out;
  EXPECT_FALSE(fs::exists(game / "mokuren-test-results"));

  // One character of the first scene changed: the build takes it, the test sees it.
  const fs::path scene = game / "scenario" / "2_first.txt";
  std::string text = ReadFile(scene);
  text.replace(text.find("はじめまして"), std::string("はじめまして").size(), "はじめましで");
  WriteFile(scene, text);
  r = Tool(game, cache.path(), "mokuren-build");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("script 2 <- "), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("script 1 <- "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("SCRIPT.DAT: 2 scripts (1 compiled again)\n  GRAPHIC.DAT: 2 pictures from ./pictures (0 in "
                       "the album), up to date"),
            std::string::npos)
      << r.out;
  r = Tool(game, cache.path(), "mokuren-test tests");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("first-message.png: "), std::string::npos) << r.out;

  // A game without an album: its screens gone, nothing is said of them, the music room or the movie.
  for (const auto& e : fs::directory_iterator(game / "system"))
    if (const int entry = std::stoi(e.path().filename().string()); entry >= 65 && entry <= 98) fs::remove(e.path());
  ASSERT_EQ(Tool(game, cache.path(), "mokuren-build").status, 0);
  r = Tool(dir.path(), cache.path(), "mokuren-lint --quick haru");
  EXPECT_EQ(r.status, 0) << r.out;
}

TEST(WriterWorkflow, BuildNamesTheFileOfEachMistakeAndWritesNothing) {
  TempDir dir, cache;
  const fs::path game = dir.path() / "g";
  fs::create_directories(game / "scenario");
  fs::create_directories(game / "system");
  WriteFile(game / "scenario" / "script1.txt", "msg \"一\"\nnosuch\n");
  WriteFile(game / "scenario" / "2_next.txt", "*start\nmsg \"二\"\njump strat\ncall start, 3\n");
  WriteFile(game / "system" / "title.png", "not a picture");
  WriteFile(game / "album.txt", "1-1 EV01A\n11-1 EV02A\n");
  const ToolRun r = Tool(dir.path(), cache.path(), "mokuren-build g");
  EXPECT_EQ(r.status, 1);
  for (const char* said :
       {"g/scenario/script1.txt:2:1: unknown mnemonic 'nosuch'", "g/system/title.png: ",
        "g/album.txt:1: there is no EV01A.png in g/pictures", "g/album.txt:2: \"11-1\" is not a slot",
        "g/scenario/2_next.txt:3:1: jump to label \"strat\", which this script does not have; did "
        "you mean \"start\"?",
        "g/scenario/2_next.txt:4:1: call to script 3, which the game lacks", "6 mistakes; nothing was written"})
    EXPECT_NE(r.out.find(said), std::string::npos) << said << "\n" << r.out;
  EXPECT_FALSE(fs::exists(game / "SCRIPT.DAT"));
  // Nothing was built, so nothing is counted as if it had been.
  EXPECT_EQ(r.out.find("SCRIPT.DAT:"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace mokuren::testing
