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
  EXPECT_EQ(form_->ScriptNo, 1);
  EXPECT_EQ(form_->TaskCode, 0);
  ASSERT_EQ(form_->MessageTexts.size(), 2u);
  EXPECT_EQ(form_->MessageTexts[1], u"二行目");
  EXPECT_EQ(form_->Kuri_FileNo(2, u"bg01"), 1);
  std::vector<uint8_t> stream;
  EXPECT_EQ(form_->Kuri_ReadFile(3, 1, stream), -1);  // entry 1 left empty
  EXPECT_EQ(form_->Kuri_ReadFile(3, 2, stream), 0);
  EXPECT_EQ(form_->Kuri_ReadFile(1, 2, stream), -1);
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

}  // namespace
}  // namespace mokuren::testing
