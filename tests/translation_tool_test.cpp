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

TEST(TranslationTool, ExtractInitTranslateCountAndCheck) {
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
  const std::string templ = ReadFile(pot);
  // Each text of the game under its context, with what a translator needs to know beside it; the
  // engine's texts are not among them.
  for (const std::string& entry :
       {"#. speaker: ミナ\n#. voice: VOICE/v0001.ogg\n#. \"①\" is the hero's name, which the player chose: keep it\n"
        "#: " +
            (sources / "script1.txt").string() +
            ":1\nmsgctxt \"script 1 message 0\"\nmsgid \"「おはよう、①くん。」\"\n",
        std::string("msgctxt \"script 1 message 1\"\nmsgid \"コン、コン。/誰かが玄関のドアを叩いている。\"\n"),
        std::string("msgctxt \"script 1 choice 2 item 2\"\nmsgid \"先に行ってもらう\"\n"),
        std::string("msgctxt \"speaker\"\nmsgid \"ソウタ\"\n"), std::string("msgctxt \"title\"\nmsgid \"木蓮\"\n"),
        std::string("msgctxt \"hero name\"\nmsgid \"カザミネ\"\n")})
    EXPECT_NE(templ.find(entry), std::string::npos) << entry;
  EXPECT_EQ(templ.find("msgctxt \"engine\""), std::string::npos);

  // A new translation: every text, none translated, under a header naming the language; not made twice.
  ASSERT_EQ(Tool("init '" + game.string() + "' fr", out), 0) << ReadFile(out);
  const fs::path fr = game / "tl" / "fr.po";
  std::string po = ReadFile(fr);
  EXPECT_NE(po.find("\"Language: fr\\n\""), std::string::npos);
  EXPECT_EQ(po.find("msgstr \"\xe3"), std::string::npos);  // no Japanese msgstr, as msginit would copy in
  EXPECT_EQ(Tool("init '" + game.string() + "' fr", out), 2);

  // A translation under way: one message loses the hero's name, one runs long, one is its original copied
  // in, a choice item names the hero, one speaker's name is too long and the other fuzzy, the hero's name
  // holds a digit, an entry comes from another game and one from an older version of this one, and an
  // engine text the game gives itself loses a blank.
  Translate(po, "script 1 message 0", "« Bonjour ! »");
  Translate(po, "script 1 message 1", std::string(40, 'x') + " " + std::string(300, 'y'));
  Translate(po, "script 1 choice 2 item 1", "Y aller ensemble");
  Translate(po, "script 1 choice 2 item 2", "①, vas-y d'abord");
  Translate(po, "script 1 message 3", "「さようなら。」");
  Translate(po, "speaker", "Mina " + std::string(60, 'M'), "msgid \"ミナ\"");
  Translate(po, "speaker", "Sota, " + std::string(80, 'S'), "msgid \"ソウタ\"");
  po.replace(po.find("msgctxt \"speaker\"\nmsgid \"ソウタ\""), 0, "#, fuzzy\n");
  Translate(po, "hero name", "Kaza2");
  po +=
      "\nmsgctxt \"engine\"\nmsgid \"\"\n\"SAVE.DAT の大きさが {size} バイトで、正しい大きさの {expected} "
      "バイトと違います\"\n"
      "msgstr \"SAVE.DAT n'a pas les {expected} octets attendus\"\n"
      "\nmsgctxt \"script 7 message 0\"\nmsgid \"別のゲーム\"\nmsgstr \"Un autre jeu\"\n"
      "\nmsgctxt \"script 1 message 3\"\nmsgid \"「さよなら。」\"\nmsgstr \"« Adieu. »\"\n";
  WriteFile(fr, po);
  // Pictures of the translation: one of the wrong size, one for a picture the game does not have.
  fs::create_directories(game / "tl" / "fr" / "sysgrp.dat");
  WriteFile(game / "tl" / "fr" / "sysgrp.dat" / "1.png", SolidPng(10, 10, 0, 0, 0));
  WriteFile(game / "tl" / "fr" / "sysgrp.dat" / "99.png", SolidPng(10, 10, 0, 0, 0));

  ASSERT_EQ(Tool("stats '" + game.string() + "' '" + fr.string() + "'", out), 0) << ReadFile(out);
  EXPECT_EQ(ReadFile(out),
            "             translated  fuzzy  untranslated  obsolete\n"
            "script 1              4      0             1         0\n"
            "speakers              1      1             0         0\n"
            "title                 0      0             1         0\n"
            "hero name             1      0             0         0\n"
            "total                 6      1             2         0\n"
            "6 of 9 texts translated (66%)\n"
            "1 of the untranslated holds its Japanese original unchanged (msginit copies every original into an "
            "English file): empty or translate it\n"
            "engine                1      0             -         0\n"
            "pictures: 1 of 44 system pictures and 0 of 0 scenario pictures replaced; 1 file replaces no picture "
            "(mokuren-i18n check names it)\n");

  EXPECT_EQ(Tool("check '" + game.string() + "' '" + fr.string() + "'", out), 2);
  const std::string report = ReadFile(out);
  for (const char* expected :
       {": warning: script 1 message 0: the original names the hero (\"①\"); the translation does not [hero-name]",
        ": error: script 1 message 1: the translation runs past three lines; \"yyyyyyyyyyyyyyyyyyyyyyyy…\" is never "
        "shown [message-overflow]",
        ": warning: script 1 choice 2 item 2: choices show \"①\" as it is",
        ": warning: script 1 message 3: the translation is the Japanese original copied unchanged",
        ": warning: script 7 message 0: no text of this game has this context and original",
        ": warning: script 1 message 3: the game's text is now \"「さようなら。」\"; this translation is not shown",
        ": error: speaker: the name is wider than its band (736 pixels) and is cut after \"Mina",
        ": error: hero name: names of this language may not hold 2, so the name dialog would refuse this one",
        ": error: engine: {size} is missing: the engine puts a name or a value there [placeholder]",
        "tl/fr/sysgrp.dat/1.png: error: is 10x10 pixels, not the 800x184 of system picture 1 it replaces; the "
        "original picture is shown [picture-size]",
        "tl/fr/sysgrp.dat/99.png: warning: replaces no picture: SYSGRP.DAT has no picture 99; it is not shown "
        "[picture-unknown]"})
    EXPECT_NE(report.find(expected), std::string::npos) << expected << "\n" << report;
  // The fuzzy speaker, as long as it is, is not checked: it is not shown.
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 11) << report;

  // The pictures to redraw, with where each is shown.
  ASSERT_EQ(Tool("pictures '" + game.string() + "' '" + (dir.path() / "pictures").string() + "'", out), 0)
      << ReadFile(out);
  EXPECT_EQ(ReadFile(dir.path() / "pictures" / "SYSGRP.DAT" / "1.png"), NeutralSystemPictures().at(1));
  EXPECT_NE(ReadFile(dir.path() / "pictures" / "pictures.txt")
                .find("SYSGRP.DAT/1.png           800x184   the message window's frame (loaded at start-up)\n"),
            std::string::npos);
}

// The engine's own texts have a template of their own, shipped with the engine: it is what
// `extract --engine` writes, so a translator of the engine starts from every text there is.
TEST(TranslationTool, TheShippedEngineTemplateHoldsEveryEngineText) {
  TempDir dir;
  const fs::path pot = dir.path() / "mokuren.pot", out = dir.path() / "out.txt";
  ASSERT_EQ(Tool("extract --engine -o '" + pot.string() + "'", out), 0) << ReadFile(out);
  EXPECT_EQ(ReadFile(pot), ReadFile(fs::path(MOKUREN_SOURCE_DIR) / "share" / "tl" / "mokuren.pot"))
      << "share/tl/mokuren.pot is out of date: build/mokuren-i18n extract --engine -o share/tl/mokuren.pot";
}

}  // namespace
}  // namespace mokuren::testing
