// mokuren-i18n on a small game built with our tools, the way a translator works: extract the template,
// translate some of it (as Poedit would leave the file), then count and check.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/engine_fixture.h"
#include "support/game_builder.h"

namespace fs = std::filesystem;

namespace mokuren::testing {
namespace {

constexpr char kScript[] =
    "msg \"ミナ「おはよう、①くん。」\", \"v0001\"\n"
    "msg \"コン、コン。/誰かが玄関のドアを叩いている。\"\n"
    "choice \"一緒に行く,先に行ってもらう\"\n"
    "msg \"ソウタ「さようなら。」\"\n";

int Tool(const std::string& args, const fs::path& out) {
  const std::string line = std::string(MOKUREN_BIN_DIR) + "/mokuren-i18n " + args + " >'" + out.string() + "' 2>&1";
  const int status = std::system(line.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Gives the entry of `context` (the first after `from`, for contexts shared by several entries) a translation.
void Translate(std::string& po, const std::string& context, const std::string& text, const std::string& from = {}) {
  const size_t at = po.find("msgctxt \"" + context + "\"\n" + from);
  ASSERT_NE(at, std::string::npos) << context;
  const size_t msgstr = po.find("msgstr \"\"", at);
  po.replace(msgstr, 9, "msgstr \"" + text + "\"");
}

TEST(TranslationTool, ExtractTranslateCountAndCheck) {
  TempDir dir;
  const fs::path game = dir.path() / "game", sources = dir.path() / "scenario";
  fs::create_directories(game);
  fs::create_directories(sources);
  TestGame built;
  built.scripts = {{1, kScript}};
  BuildTestGame(game, built);
  WriteFile(sources / "script1.txt", kScript);
  WriteFile(game / "title.txt", "木蓮\n");
  const fs::path out = dir.path() / "out.txt", pot = dir.path() / "game.pot";

  ASSERT_EQ(Tool("extract --sources '" + sources.string() + "' '" + game.string() + "' -o '" + pot.string() + "'", out),
            0)
      << ReadFile(out);
  std::string po = ReadFile(pot);
  // Each text under its context, with what a translator needs to know beside it.
  for (const std::string& entry :
       {"#. speaker: ミナ\n#. voice: VOICE/v0001.ogg\n#. \"①\" is the hero's name, which the player chose: keep it\n"
        "#: " +
            (sources / "script1.txt").string() +
            ":1\nmsgctxt \"script 1 message 0\"\nmsgid \"「おはよう、①くん。」\"\n",
        std::string("msgctxt \"script 1 message 1\"\nmsgid \"コン、コン。/誰かが玄関のドアを叩いている。\"\n"),
        std::string("msgctxt \"script 1 choice 2 item 2\"\nmsgid \"先に行ってもらう\"\n"),
        std::string("msgctxt \"speaker\"\nmsgid \"ソウタ\"\n"), std::string("msgctxt \"title\"\nmsgid \"木蓮\"\n"),
        std::string("msgctxt \"engine\"\nmsgid \"クイックセーブしました\"\n"),
        std::string(
            "#. keep {size}: the engine puts a name or a value there\n#. keep {expected}: the engine puts a name "
            "or a value there\nmsgctxt \"engine\"\nmsgid \"\"\n\"SAVE.DAT の大きさが {size} バイトで")})
    EXPECT_NE(po.find(entry), std::string::npos) << entry;

  // A translation under way: one message loses the hero's name, one runs long, a choice item names the
  // hero, one speaker's name is too long and the other fuzzy, an entry comes from another game and one
  // from an older version of this one, and an error line of the engine loses a blank.
  po.replace(po.find("Language: "), 10, "Language: fr");
  Translate(po, "script 1 message 0", "« Bonjour ! »");
  Translate(po, "script 1 message 1", std::string(40, 'x') + " " + std::string(300, 'y'));
  Translate(po, "script 1 choice 2 item 1", "Y aller ensemble");
  Translate(po, "script 1 choice 2 item 2", "①, vas-y d'abord");
  Translate(po, "speaker", "Mina " + std::string(60, 'M'), "msgid \"ミナ\"");
  Translate(po, "speaker", "Sota, " + std::string(80, 'S'), "msgid \"ソウタ\"");
  po.replace(po.find("msgctxt \"speaker\"\nmsgid \"ソウタ\""), 0, "#, fuzzy\n");
  Translate(po, "engine", "SAVE.DAT n'a pas les {expected} octets attendus", "msgid \"\"\n\"SAVE.DAT の大きさが");
  po +=
      "\nmsgctxt \"script 7 message 0\"\nmsgid \"別のゲーム\"\nmsgstr \"Un autre jeu\"\n"
      "\nmsgctxt \"script 1 message 3\"\nmsgid \"「さよなら。」\"\nmsgstr \"« Adieu. »\"\n";
  const fs::path fr = dir.path() / "fr.po";
  WriteFile(fr, po);

  ASSERT_EQ(Tool("stats '" + game.string() + "' '" + fr.string() + "'", out), 0) << ReadFile(out);
  EXPECT_EQ(ReadFile(out),
            "script  translated  fuzzy  untranslated  obsolete\n"
            "1                4      0             1         0\n"
            "other            2      1           137         0\n"
            "total            6      1           138         0\n"
            "6 of 145 texts translated (4%)\n");

  EXPECT_EQ(Tool("check '" + game.string() + "' '" + fr.string() + "'", out), 2);
  const std::string report = ReadFile(out);
  for (const char* expected :
       {": warning: script 1 message 0: the original names the hero (\"①\"); the translation does not [hero-name]",
        ": error: script 1 message 1: the translation runs past three lines; \"yyyyyyyyyyyyyyyyyyyyyyyy…\" is never "
        "shown [message-overflow]",
        ": warning: script 1 choice 2 item 2: choices show \"①\" as it is",
        ": warning: script 7 message 0: no text of this game has this context and original",
        ": warning: script 1 message 3: the game's text is now \"「さようなら。」\"; this translation is not shown",
        ": error: speaker: the name is wider than its band (736 pixels) and is cut after \"Mina",
        ": error: engine: {size} is missing: the engine puts a name or a value there [placeholder]"})
    EXPECT_NE(report.find(expected), std::string::npos) << expected << "\n" << report;
  // The fuzzy speaker, as long as it is, is not checked: it is not shown.
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 7) << report;
}

}  // namespace
}  // namespace mokuren::testing
