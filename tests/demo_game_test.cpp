// The demo game and the test-game builder produce games that the engine starts.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/engine_fixture.h"
#include "support/game_builder.h"

namespace mokuren::testing {
namespace {

class DemoGame : public EngineFixture {};

TEST_F(DemoGame, BuiltTestGameLoadsScriptOneAtStart) {
  TestGame game;
  game.scripts[1] = "msg \"一行目\"\nmsg \"二行目\"\n";
  game.scripts[3] = "bg \"BG01\"\nshow\n";
  game.graphics = {{"BG01", SolidPng(8, 8, 255, 0, 0)}};
  game.sysgrp[2] = SolidPng(4, 4, 0, 0, 255);
  BuildTestGame(dir_.path(), game);
  StartEngine();
  Passes(1);
  EXPECT_EQ(Script(), 1);
  EXPECT_EQ(Task(), 0);
  const std::vector<std::u16string>& messages = form_->Script().MessageTexts;
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1], u"二行目");
  Archives& archives = form_->Archive();
  EXPECT_EQ(archives.Kuri_FileNo(ArchiveKind::Graphic, u"bg01"), 1);
  std::vector<uint8_t> stream;
  EXPECT_EQ(archives.Kuri_ReadFile(ArchiveKind::System, 1, stream), -1);  // entry 1 left empty
  EXPECT_EQ(archives.Kuri_ReadFile(ArchiveKind::System, 2, stream), 0);
  EXPECT_EQ(archives.Kuri_ReadFile(ArchiveKind::Script, 2, stream), -1);
}

TEST(DemoGameBuilder, ScenarioFaultsComeBackAsMessages) {
  TempDir dir;
  TestGame game;
  game.scripts[1] = "show\nnosuch\n";
  try {
    BuildTestGame(dir.path(), game);
    FAIL() << "expected an exception";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("script1:2:1: unknown mnemonic 'nosuch'"), std::string::npos) << e.what();
  }
}

// Start-up of the real program on the demo game reaches the script with script 1 loaded.
TEST(DemoGameProgram, StartsAndRunsScriptOne) {
  TempDir dir;
  const std::string demo = std::string(MOKUREN_BIN_DIR) + "/demo-game";
  ASSERT_TRUE(std::filesystem::exists(demo + "/SCRIPT.DAT")) << "the demo game is built with the ALL target";
  for (const char* f : {"SCRIPT.DAT", "GRAPHIC.DAT", "SYSGRP.DAT"})
    std::filesystem::copy_file(demo + "/" + f, dir.path() / f);
  const std::string trace = (dir.path() / "trace.txt").string();
  ASSERT_EQ(RunProgram(dir.path().string() + " --headless --max-ms 200 --trace " + trace), 0);
  std::string text = ReadFile(trace);
  EXPECT_NE(text.find("TC=0 NO=1 ST=-1"), std::string::npos) << text;
}

// The demo played through, always taking the second choice: its three scenes run in turn from script 1,
// come back to it, unlock their album slots, and the story ends at the title.
TEST(DemoGameProgram, StoryRunsItsScenesAndUnlocksThemForTheAlbum) {
  TempDir dir;
  std::filesystem::copy(std::string(MOKUREN_BIN_DIR) + "/demo-game", dir.path() / "game",
                        std::filesystem::copy_options::recursive);
  std::filesystem::remove(dir.path() / "game" / "SAVE.DAT");
  const std::string flags = (dir.path() / "flags.txt").string(), trace = (dir.path() / "trace.txt").string();
  std::string events = "100 key Enter\n1500 click 200 110\n4500 name ミナト\n";
  for (int ms = 2500; ms < 31000; ms += 250) events += std::to_string(ms) + " click 400 300\n";
  events += "35000 debug FLG " + flags + "\n";
  WriteFile(dir.path() / "events.txt", events);
  ASSERT_EQ(RunProgram((dir.path() / "game").string() + " --headless --max-ms 35100 --trace " + trace + " --events " +
                       (dir.path() / "events.txt").string()),
            0);
  const std::string text = ReadFile(trace);
  const size_t first = text.find("NO=2 "), second = text.find("NO=3 "), third = text.find("NO=4 ");
  ASSERT_NE(third, std::string::npos) << text;
  EXPECT_LT(first, second);
  EXPECT_LT(second, third);
  EXPECT_NE(text.find("TC=700102 NO=1 ", third), std::string::npos) << text;
  EXPECT_NE(ReadFile(flags).find("S201:1 S202:1 S203:1 S204:0"), std::string::npos);
}

}  // namespace
}  // namespace mokuren::testing
