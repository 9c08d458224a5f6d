// What the player meets before the first message: the game's title on the windows, and damaged data
// that start-up needs told on standard error while the game goes on.
#include <gtest/gtest.h>

#include "app/game_title.h"
#include "base/text_codec.h"
#include "dialogs/TDebugForm.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"

namespace mokuren::testing {
namespace {

TEST(GameTitle, FirstLineInUtf8OrCp932TrimmedAndCut) {
  EXPECT_EQ(ParseGameTitle("\xEF\xBB\xBF 木蓮\xE3\x80\x80\r\nsecond line").text, u"木蓮");
  EXPECT_EQ(ParseGameTitle(Utf16ToCp932(u"木蓮の庭") + "\n").text, u"木蓮の庭");
  EXPECT_EQ(ParseGameTitle("A\tB").text, u"A B");
  const GameTitle bad = ParseGameTitle("\x81\x20x");
  EXPECT_FALSE(bad.text.empty());
  EXPECT_EQ(bad.problems.size(), 1u);
  EXPECT_TRUE(ParseGameTitle("   \nTitle").text.empty());
  // A long title keeps its first 64 units and never half of a surrogate pair.
  const GameTitle longTitle = ParseGameTitle(std::string(63, 'a') + "\xF0\x9F\x8C\xB8");
  EXPECT_EQ(longTitle.text, std::u16string(63, u'a'));
  EXPECT_EQ(longTitle.problems.size(), 1u);
}

TEST_F(EngineFixture, TheTitleFileNamesTheMainAndDebugWindows) {
  WriteMinimalGame(dir_.path());
  WriteFile(dir_.path() / "TITLE.TXT", Utf16ToCp932(u"木蓮の庭") + "\r\n");
  StartEngine();
  EXPECT_EQ(platform().MainCaption(), u"木蓮の庭");
  EXPECT_EQ(form_->DebugForm->Caption, u"Debug Window : 木蓮の庭 Ver.0.88");
}

class StartupDamage : public ::testing::Test {
 protected:
  // Runs the game headless for a second; returns its exit status and fills `err` with its standard error.
  int Run(std::string& err, const std::string& options = "") {
    const std::string errFile = (dir_.path() / "err.txt").string();
    const int status = RunProgram("'" + dir_.path().string() + "' --headless --max-ms 1000" + options, {}, errFile);
    err = ReadFile(errFile);
    return status;
  }
  TempDir dir_;
};

TEST_F(StartupDamage, AnEmptyFirstScriptIsToldAndTheRunEndsWellWithAWholeSaveFile) {
  BuildTestGame(dir_.path(), TestGame{{{2, "end\n"}}, {}, {}});
  std::string err;
  EXPECT_EQ(Run(err), 0);
  EXPECT_NE(err.find("SCRIPT.DAT のエントリー 1（ゲームの最初のスクリプト）を読み込めません: 中身が空です"),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("entry 1 (the game's first script) cannot be loaded: the entry is empty"), std::string::npos);
  EXPECT_EQ(std::filesystem::file_size(dir_.path() / "SAVE.DAT"), kSaveFileSize);
  // In the engine's English, what is wrong is told in the translation's words too, in the one line.
  EXPECT_EQ(Run(err, " --lang en"), 0);
  EXPECT_NE(err.find("SCRIPT.DAT: entry 1 (the game's first script) cannot be loaded: it is empty. The game cannot"),
            std::string::npos)
      << err;
  EXPECT_EQ(err.find("中身が空です"), std::string::npos) << err;
}

TEST_F(StartupDamage, MissingAndDamagedStartupPicturesAreNamed) {
  std::map<int, std::string> pictures = NeutralSystemPictures();
  pictures.erase(52);
  pictures[53] = "not a picture";
  BuildTestGame(dir_.path(), TestGame{{{1, "*a\njump a\n"}}, {}, pictures});
  std::string err;
  EXPECT_EQ(Run(err), 0);
  EXPECT_NE(err.find("SYSGRP.DAT の起動時に使う画像を読み込めません: エントリー 52（空）、53（破損）"),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("start-up pictures cannot be loaded: entries 52 (empty), 53 (damaged)"), std::string::npos);
}

}  // namespace
}  // namespace mokuren::testing
