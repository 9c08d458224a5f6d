// The translation catalog on PO files as translators' tools write them: what is shown, what falls back
// to the original, and what is reported.
#include <gtest/gtest.h>

#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "text/translation_catalog.h"
#include "text/translation_file.h"

namespace mokuren::testing {
namespace {

constexpr char kHeader[] =
    "msgid \"\"\n"
    "msgstr \"\"\n"
    "\"Language: fr\\n\"\n"
    "\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";

TEST(TranslationCatalog, ShowsOnlyFinishedTranslationsAndFallsBackForTheRest) {
  TempDir dir;
  const std::filesystem::path po = dir.path() / "fr.po";
  WriteFile(
      po,
      std::string(kHeader) +
          "msgctxt \"script 1 message 0\"\nmsgid \"「おはよう、①くん。」\"\n"
          "msgstr \"« Bonjour, ①\\tmon <b>ami</b>\\x01. »\\nAllons-y.\"\n\n"
          "msgctxt \"speaker\"\nmsgid \"ミナ\"\nmsgstr \"Mina\"\n\n"
          "#, fuzzy\nmsgctxt \"script 1 message 1\"\nmsgid \"今日もいい天気だね。\"\nmsgstr \"Il fait beau.\"\n\n"
          "msgctxt \"script 1 message 2\"\nmsgid \"まだ訳されていない。\"\nmsgstr \"\"\n\n"
          "msgctxt \"script 1 message 3\"\nmsgid \"古い原文\"\nmsgstr \"Texte ancien\"\n\n"
          "msgctxt \"script 1 choice 4 item 2\"\nmsgid \"先に行ってもらう\"\nmsgstr \"Non, vas-y, je te rejoins\"\n\n"
          "msgctxt \"script 1 message 5\"\nmsgid \"一つ\"\nmsgid_plural \"二つ\"\n"
          "msgstr[0] \"un\"\nmsgstr[1] \"deux\"\n\n"
          "#, fuzzy\n#~ msgctxt \"script 1 message 6\"\n#~ msgid \"消えた文\"\n#~ msgstr \"Disparu\"\n\n"
          "msgctxt \"script 9 message 0\"\nmsgid \"別のゲーム\"\nmsgstr \"Un autre jeu\"\n");
  TranslationCatalog catalog;
  std::vector<std::string> problems;
  ASSERT_TRUE(catalog.Load(po, problems));
  EXPECT_EQ(catalog.Language(), "fr");

  // Speaker and speech each translated; the tab becomes a space, the control character goes, markup stays.
  const SpokenText greeting = catalog.Message(1, 0, u"ミナ「おはよう、①くん。」");
  EXPECT_EQ(greeting.speaker, u"Mina");
  EXPECT_EQ(greeting.body, u"« Bonjour, ① mon <b>ami</b>. »\nAllons-y.");
  // Fuzzy, untranslated, changed since, plural and obsolete: the original.
  EXPECT_EQ(catalog.Message(1, 1, u"ミナ「今日もいい天気だね。」").body, u"「今日もいい天気だね。」");
  EXPECT_EQ(catalog.Message(1, 1, u"今日もいい天気だね。").body, u"今日もいい天気だね。");
  EXPECT_EQ(catalog.Message(1, 2, u"まだ訳されていない。").body, u"まだ訳されていない。");
  EXPECT_EQ(catalog.Message(1, 3, u"新しい原文").body, u"新しい原文");
  EXPECT_EQ(catalog.Message(1, 5, u"一つ").body, u"一つ");
  EXPECT_EQ(catalog.Message(1, 6, u"消えた文").body, u"消えた文");
  // A choice's items one by one; a translated item may hold a comma.
  EXPECT_EQ(catalog.Choices(1, 4, u"一緒に行く,先に行ってもらう"),
            (std::vector<std::u16string>{u"一緒に行く", u"Non, vas-y, je te rejoins"}));

  // Against the game's texts, the translations it cannot show are reported at their lines.
  GameTexts game;
  ScriptImage image;
  std::vector<std::string> parseProblems;
  ParseScriptImage(AssembleTestScript("msg \"ミナ「おはよう、①くん。」\"\nmsg \"今日もいい天気だね。\"\n"
                                      "msg \"まだ訳されていない。\"\nmsg \"新しい原文\"\n"
                                      "choice \"一緒に行く,先に行ってもらう\"\n"),
                   image, parseProblems);
  game.AddScript(1, image);
  const std::vector<std::string> unmatched = catalog.Unmatched(game);
  ASSERT_EQ(unmatched.size(), 2u);
  EXPECT_NE(unmatched[0].find("fr.po:23: \"script 1 message 3\" was translated from a text the game no longer has"),
            std::string::npos)
      << unmatched[0];
  EXPECT_NE(unmatched[1].find("fr.po:42: \"script 9 message 0\" names no text of this game"), std::string::npos)
      << unmatched[1];

  // Loaded again, from the compiled copy the first load with a cache left, or past a damaged one.
  for (int round = 0; round < 3; ++round) {
    if (round == 2)
      for (const auto& copy : std::filesystem::directory_iterator(dir.path() / "cache")) WriteFile(copy.path(), "x");
    TranslationCatalog again;
    ASSERT_TRUE(again.Load(po, problems, dir.path() / "cache"));
    EXPECT_EQ(again.Size(), catalog.Size());
    EXPECT_EQ(again.Message(1, 0, u"ミナ「おはよう、①くん。」").body, greeting.body);
    EXPECT_EQ(again.Unmatched(game), unmatched);
  }
}

TEST(TranslationCatalog, ReadsTheCharsetTheHeaderDeclares) {
  TempDir dir;
  const std::filesystem::path po = dir.path() / "de.po";
  WriteFile(po,
            "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n"
            "msgctxt \"title\"\nmsgid \"Mokuren\"\nmsgstr \"M\xF6kuren \xFC\"\n");
  TranslationCatalog catalog;
  std::vector<std::string> problems;
  ASSERT_TRUE(catalog.Load(po, problems));
  EXPECT_EQ(catalog.Translate(kTitleContext, u"Mokuren"), u"Mökuren ü");
  EXPECT_EQ(catalog.Language(), "de");
}

TEST(TranslationCatalog, AMalformedFileIsReportedAtItsLineAndNothingIsTranslated) {
  TempDir dir;
  const std::filesystem::path po = dir.path() / "de.po";
  WriteFile(po, std::string(kHeader) +
                    "msgctxt \"script 1 message 0\"\nmsgid \"あ\"\nmsgstr \"A\"\n\n"
                    "msgctxt \"script 1 message 1\"\nmsgid \"い\"\nmsgstr \"I\n\n");
  TranslationCatalog catalog;
  std::vector<std::string> problems;
  EXPECT_FALSE(catalog.Load(po, problems));
  EXPECT_TRUE(catalog.Empty());
  EXPECT_EQ(catalog.Message(1, 0, u"あ").body, u"あ");
  ASSERT_FALSE(problems.empty());
  // libgettextpo places an unterminated string at the line where it noticed, as msgfmt does.
  EXPECT_EQ(problems[0], po.string() + ":13: end-of-line within string");
  EXPECT_EQ(catalog.Fault(), PoFault::Malformed);
  EXPECT_EQ(catalog.FaultDetail(), "13: end-of-line within string");

  // What cannot be read says why.
  for (const auto& [file, fault] :
       {std::pair{dir.path() / "missing.po", PoFault::Missing}, {dir.path(), PoFault::Folder}}) {
    problems.clear();
    EXPECT_FALSE(catalog.Load(file, problems));
    EXPECT_EQ(catalog.Fault(), fault);
    ASSERT_EQ(problems.size(), 1u);
  }
  EXPECT_EQ(problems[0], dir.path().string() + ": it is a folder, not a file");
}

// Hostile files: one entry far over the size of any game's text is left out and the rest used; a file
// of problems lists the first twenty and counts the rest, as msgfmt does.
TEST(TranslationCatalog, AnEntryOverTheLimitIsLeftOutAndOnlyTheFirstProblemsAreListed) {
  TempDir dir;
  const std::filesystem::path po = dir.path() / "de.po";
  WriteFile(po, std::string(kHeader) + "msgctxt \"script 1 message 0\"\nmsgid \"あ\"\nmsgstr \"" +
                    std::string(kMaxPoEntryBytes, 'x') +
                    "\"\n\n#, fuzzy\nmsgctxt \"script 1 message 1\"\nmsgid \"い\"\nmsgstr \"I\"\n");
  TranslationCatalog catalog;
  std::vector<std::string> problems;
  ASSERT_TRUE(catalog.Load(po, problems));
  EXPECT_EQ(problems,
            std::vector<std::string>{po.string() + ":6: warning: the entry takes 65584 bytes, more than the 65536 an "
                                                   "entry may; it is left out"});
  EXPECT_EQ(catalog.Message(1, 0, u"あ").body, u"あ");
  // The flags of the entry left out stay with it: the next entry is not made fuzzy.
  EXPECT_EQ(catalog.Message(1, 1, u"い").body, u"い");

  std::string broken = kHeader;
  for (int i = 0; i < 26; ++i) broken += "msgctxt \"title\"\nmsgid \"い\"\nmsgstr \"I\"\n\n";
  WriteFile(po, broken);
  problems.clear();
  EXPECT_FALSE(catalog.Load(po, problems));
  ASSERT_EQ(problems.size(), kListedPoProblems + 1);
  EXPECT_EQ(problems.back(), po.string() + ": 5 more problems are not listed (25 in all)");
}

// A file of many entries is read in pieces: its problems keep the file's own lines, and an entry defined
// twice is found even when the two lie in different pieces.
TEST(TranslationCatalog, ALongFileKeepsItsLinesAndItsDuplicatesAcrossPieces) {
  TempDir dir;
  const std::filesystem::path po = dir.path() / "de.po";
  std::string text = kHeader;  // 5 lines, then 4 an entry
  for (int i = 0; i < 20000; ++i)
    text += "msgctxt \"script 1 message " + std::to_string(i) + "\"\nmsgid \"あ\"\nmsgstr \"A\"\n\n";
  WriteFile(po, text + "msgctxt \"title\"\nmsgid \"い\"\nmsgstr \"I\n");
  TranslationCatalog catalog;
  std::vector<std::string> problems;
  EXPECT_FALSE(catalog.Load(po, problems));
  ASSERT_FALSE(problems.empty());
  EXPECT_EQ(problems[0], po.string() + ":80009: end-of-line within string");
  WriteFile(po, text + "msgctxt \"script 1 message 7\"\nmsgid \"あ\"\nmsgstr \"B\"\n");
  problems.clear();
  EXPECT_FALSE(catalog.Load(po, problems));
  EXPECT_EQ(problems, std::vector<std::string>{po.string() + ":80006: duplicate message definition (" + po.string() +
                                               ":34: this is the location of the first definition)"});
}

// A file is read once per version: later loads map its compiled copy and report nothing again, but why a
// file cannot be used; a changed file is read again.
TEST(TranslationCatalog, AFileIsReadOncePerVersion) {
  TempDir dir;
  const std::filesystem::path po = dir.path() / "de.po", cache = dir.path() / "cache";
  const std::string big = std::string(kHeader) + "msgctxt \"script 1 message 0\"\nmsgid \"あ\"\nmsgstr \"" +
                          std::string(kMaxPoEntryBytes, 'x') + "\"\n\nmsgctxt \"title\"\nmsgid \"い\"\nmsgstr \"I\"\n";
  WriteFile(po, big);
  std::vector<std::string> problems;
  TranslationCatalog catalog;
  ASSERT_TRUE(catalog.Load(po, problems, cache));
  EXPECT_EQ(problems.size(), 1u);
  for (int round = 0; round < 2; ++round) {
    // The second round: the same bytes, touched since.
    if (round == 1) std::filesystem::last_write_time(po, std::filesystem::last_write_time(po) + std::chrono::hours(1));
    problems.clear();
    TranslationCatalog again;
    ASSERT_TRUE(again.Load(po, problems, cache));
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(again.Translate(kTitleContext, u"い"), u"I");
  }
  // Made malformed: reported once, and its reason kept.
  WriteFile(po, big + "msgid \"unterminated\n");
  for (int round = 0; round < 2; ++round) {
    problems.clear();
    TranslationCatalog again;
    EXPECT_FALSE(again.Load(po, problems, cache));
    EXPECT_EQ(problems.size(), round == 0 ? 3u : 0u);
    EXPECT_EQ(again.FaultDetail(), "14: end-of-line within string");
  }
}

}  // namespace
}  // namespace mokuren::testing
