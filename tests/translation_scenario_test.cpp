// A game played in another language as the player meets it: messages, speakers, choices and the caption
// translated, the original where a text has no usable translation, saves that do not care about the
// language, and a broken or foreign translation reported while the game plays on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "base/text_codec.h"
#include "base/text_template.h"
#include "graphics/ABitmap.h"
#include "graphics/png_decoder.h"
#include "graphics/png_writer.h"
#include "platform/game_files.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "text/engine_texts.h"
#include "text/engine_translation.h"
#include "text/game_translation.h"
#include "toolkit/png_writer.h"

namespace mokuren::testing {
namespace {

const TestGame kGame{{{1,
                       "msg \"一つ目。\"\n"
                       "msg \"ミナ「おはよう、①くん。」\"\n"
                       "msg \"まだ訳されていない行。\"\n"
                       "choice \"行く,行かない\"\n"}},
                     {},
                     {}};

// The translation: the second message fuzzy, the choice's second item untranslated, and an entry made for
// another game.
constexpr char kEnglish[] = R"(msgid ""
msgstr ""
"Language: en\n"
"Content-Type: text/plain; charset=UTF-8\n"

msgctxt "script 1 message 0"
msgid "一つ目。"
msgstr "The first <i>line</i>.\tTabbed."

msgctxt "script 1 message 1"
msgid "「おはよう、①くん。」"
msgstr "“Morning, ①!”"

#, fuzzy
msgctxt "script 1 message 2"
msgid "まだ訳されていない行。"
msgstr "A line still being worked on."

msgctxt "speaker"
msgid "ミナ"
msgstr "Mina"

msgctxt "script 1 choice 3 item 1"
msgid "行く"
msgstr "Go, now"

msgctxt "title"
msgid "テスト"
msgstr "The Test"

msgctxt "script 7 message 0"
msgid "よその台詞"
msgstr "Another game's line"
)";

class TranslationScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildTestGame(dir_.path(), kGame);
    WriteFile(dir_.path() / "title.txt", "テスト\n");
    std::filesystem::create_directories(dir_.path() / "tl");
    WriteFile(dir_.path() / "tl" / "en.po", kEnglish);
    setenv("XDG_CACHE_HOME", (dir_.path() / "cache").c_str(), 1);
  }
  // Runs the program with these options and events (and LANGUAGE and LANG, when given); returns the text
  // hook's lines.
  std::string Play(const std::string& options, const std::string& events, const char* language = nullptr,
                   const char* lang = nullptr) {
    const char* names[] = {"LANGUAGE", "LANG"};
    const char* values[] = {language, lang};
    std::optional<std::string> kept[2];
    for (int i = 0; i < 2; ++i) {
      if (const char* v = getenv(names[i])) kept[i] = v;
      if (values[i]) setenv(names[i], values[i], 1);
    }
    const std::string hook = Path("hook.txt");
    std::filesystem::remove(hook);
    WriteFile(Path("events.txt"), events);
    const int status = RunProgram("'" + dir_.path().string() + "' --headless --max-ms 3000 --text-hook '" + hook +
                                      "' --events '" + Path("events.txt") + "' " + options,
                                  {}, Path("err.txt"));
    for (int i = 0; i < 2; ++i)
      if (values[i]) kept[i] ? setenv(names[i], kept[i]->c_str(), 1) : unsetenv(names[i]);
    EXPECT_EQ(status, 0);
    return ReadFile(hook);
  }
  std::string Path(const char* name) { return (dir_.path() / name).string(); }
  TempDir dir_;
};

TEST_F(TranslationScenario, EnglishShowsTranslationsWithTheOriginalWhereThereIsNoneAndItsSaveLoadsInJapanese) {
  EXPECT_EQ(Play("--lang en", "600 key Enter\n1200 key Enter\n1500 save 1\n1800 key Enter\n2400 key Enter\n"),
            "The first <i>line</i>. Tabbed.\n"
            "Mina: “Morning, カザミネ!”\n"
            "まだ訳されていない行。\n"
            "1. Go, now\n"
            "2. 行かない\n");
  const std::string errors = ReadFile(Path("err.txt"));
  EXPECT_NE(errors.find("en.po:31: \"script 7 message 0\" names no text of this game"), std::string::npos) << errors;
  // The save made in English, loaded in the original language, shows the original.
  EXPECT_EQ(Play("--lang ja", "300 load 1\n"),
            "一つ目。\n"
            "ミナ「おはよう、カザミネくん。」\n");
}

TEST_F(TranslationScenario, PlayersLanguageChoosesAMalformedTranslationIsReportedAndTheOriginalPlays) {
  // LANG chooses English where the game has it.
  EXPECT_EQ(Play("", "", "", "en_GB.UTF-8"), "The first <i>line</i>. Tabbed.\n");
  EXPECT_EQ(Play("", "", "ja:en", "en_GB.UTF-8"), "一つ目。\n");
  WriteFile(dir_.path() / "tl" / "en.po", std::string(kEnglish) + "msgid \"unterminated\nmsgstr \"\"\n");
  EXPECT_EQ(Play("--lang en", ""), "一つ目。\n");
  const std::string errors = ReadFile(Path("err.txt"));
  EXPECT_NE(errors.find("tl/en.po:35: "), std::string::npos) << errors;
  EXPECT_NE(errors.find("the game is played in its original language"), std::string::npos) << errors;
}

TEST_F(TranslationScenario, DialogsShowTheGamesEngineTextsAndTheEnginesOwnTranslationOfTheRest) {
  WriteFile(dir_.path() / "tl" / "en.po",
            std::string(kEnglish) +
                "\nmsgctxt \"engine\"\nmsgid \"環境設定\"\nmsgstr \"Settings\"\n"
                "\nmsgctxt \"engine\"\nmsgid \"画面エフェクト\"\nmsgstr \"Screen effects\"\n"
                "\nmsgctxt \"engine\"\nmsgid \"あり\"\nmsgstr \"On\"\n"
                "\nmsgctxt \"engine\"\nmsgid \"確認\"\nmsgstr \"Confirm\"\n"
                "\nmsgctxt \"engine\"\nmsgid \"ゲームを終了しますか？\"\nmsgstr \"Quit the game?\"\n");
  Play("--lang en", "600 menu menuConfig\n700 dialog-text " + Path("config.txt") +
                        "\n800 dialog ok\n900 quit\n1000 dialog-text " + Path("quit.txt") + "\n1100 dialog ok\n");
  // The caption, the first group's caption and its two buttons, the second left to the engine's own English.
  const std::string settings = "Settings\nScreen effects\nOn\nOff\n";
  EXPECT_EQ(ReadFile(Path("config.txt")).substr(0, settings.size()), settings);
  EXPECT_EQ(ReadFile(Path("quit.txt")), "Confirm\nQuit the game?\n");
}

// The caption, the menu, the frame's notices and an overflowing translation, on the engine itself.
class TranslationEngine : public EngineFixture {};

TEST_F(TranslationEngine, CaptionNoticesAndOverflowInTheLanguageChosen) {
  std::filesystem::create_directories(dir() / "tl");
  WriteFile(dir() / "title.txt", "テスト\n");
  setenv("XDG_CACHE_HOME", (dir() / "cache").c_str(), 1);
  // The third message translated, far too long for the window.
  std::string po = kEnglish, words;
  po.erase(po.find("#, fuzzy\n"), 9);
  for (int i = 0; i < 40; ++i) words += "far too many words here ";
  po.replace(po.find("A line still being worked on."), 29, words);
  po +=
      "\nmsgctxt \"engine\"\nmsgid \"クイックセーブしました\"\nmsgstr \"Saved, quickly\"\n"
      "\nmsgctxt \"engine\"\nmsgid \"セーブ\"\nmsgstr \"Save\"\n";
  WriteFile(dir() / "tl" / "en.po", po);
  LaunchOptions options;
  options.lang = "en";
  StartGame(kGame, options);
  EXPECT_EQ(platform().MainCaption(), u"The Test");
  EXPECT_EQ(platform().MenuCaption(MenuItem::menuSave), u"Save");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Apply("quicksave");
  Passes(2);
  EXPECT_EQ(Notice(), u"Saved, quickly");
  for (int i = 0; i < 3; ++i) {
    Tap(Key::Enter);
    Passes(30);
  }
  EXPECT_EQ(ErrorsWith("script 1 message 2: the translation runs past three lines"), 1);
}

// A translation the player asks for that cannot be used is told in the window, with the reason, each
// start; what is wrong in the file is listed the first time it is read only.
TEST_F(TranslationEngine, AnUnusableTranslationIsToldInTheWindowWithItsReason) {
  setenv("XDG_CACHE_HOME", (dir() / "cache").c_str(), 1);
  BuildTestGame(dir(), kGame);
  std::filesystem::create_directories(dir() / "tl");
  LaunchOptions options;
  options.lang = "pt";  // a language the engine's own texts are not shipped in: they stay Japanese
  const auto start = [&] {
    if (form_) CloseGame();
    StartEngine({}, 0, options);
    Passes(1);
    return Notice();
  };
  EXPECT_EQ(start(), u"翻訳 tl/pt.po を使えないため、元の言語で遊びます（ファイルがありません）");
  std::filesystem::create_directories(dir() / "tl" / "pt.po");
  EXPECT_EQ(start(), u"翻訳 tl/pt.po を使えないため、元の言語で遊びます（ファイルではなくフォルダです）");
  std::filesystem::remove(dir() / "tl" / "pt.po");
  WriteFile(dir() / "tl" / "pt.po", "msgid \"unterminated\nmsgstr \"\"\n");
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(start(),
              u"翻訳 tl/pt.po を使えないため、元の言語で遊びます（2 行目に誤りがあります: end-of-line within string）");
    EXPECT_EQ(ErrorsWith("pt.po:2: end-of-line within string"), round == 0 ? 1 : 0);
  }
}

// A translation's pictures: a scenario picture by its name in any letter case, its transparency the
// original's when the translator's file has none, and a system picture of the wrong size reported and
// left as the original; the original language shows the game's own.
TEST_F(TranslationEngine, PicturesOfTheTranslationAreShownInPlaceOfTheGamesOwn) {
  setenv("XDG_CACHE_HOME", (dir() / "cache").c_str(), 1);
  // A character on the right half of its canvas: the left half wholly transparent.
  std::vector<uint8_t> rgba(800 * 600 * 4, 255);
  for (size_t i = 0; i < rgba.size(); i += 4) rgba[i + 3] = (i / 4) % 800 < 400 ? 0 : 255;
  TestGame game{{{1, "bg \"BG01\"\nlayer1 center, \"CH01\"\nshow\nwait click\n"}},
                {{"BG01", SolidPng(800, 600, 255, 0, 0)}, {"CH01", toolkit::EncodePng(800, 600, rgba)}},
                {}};
  BuildTestGame(dir(), game);
  std::filesystem::create_directories(dir() / "tl" / "en" / "graphic.dat");
  std::filesystem::create_directories(dir() / "tl" / "en" / "SYSGRP.DAT");
  WriteFile(dir() / "tl" / "en.po", kEnglish);
  WriteFile(dir() / "tl" / "en" / "graphic.dat" / "bg01.png", SolidPng(800, 600, 0, 255, 0));
  // Saved without transparency, as an image editor's flattened export is.
  TABitmap blue(800, 600);
  blue.FillRGB(0, 0, 255);
  std::string error;
  ASSERT_TRUE(WritePngFile((dir() / "tl" / "en" / "graphic.dat" / "CH01.PNG").string(), blue, PngAlpha::None, error));
  WriteFile(dir() / "tl" / "en" / "SYSGRP.DAT" / "1.png", SolidPng(10, 10, 0, 0, 255));
  const auto shown = [&](const std::string& lang) {
    if (form_) CloseGame();
    LaunchOptions options;
    options.lang = lang;
    StartEngine({}, 0, options);
    EXPECT_TRUE(RunUntilTask(task::WaitKey));
    Passes(5);
    const auto pixel = [&](int x, int y) {
      const uint8_t* p = Frame().ScanLine(y) + 4 * x;
      return std::array<int, 3>{p[2], p[1], p[0]};
    };
    return std::pair{pixel(100, 300), pixel(600, 300)};
  };
  // A layer's opaque pixels show at 254 of 255, as the engine blends them.
  EXPECT_EQ(shown("en"), (std::pair{std::array{0, 255, 0}, std::array{0, 0, 254}}));
  EXPECT_EQ(ErrorsWith("tl/en/SYSGRP.DAT/1.png is 10x10 pixels, not the 800x184 of the picture it replaces"), 1);
  EXPECT_EQ(shown("ja"), (std::pair{std::array{255, 0, 0}, std::array{254, 254, 254}}));
}

// Names in the translation's script: the name dialog offers the translation's hero's name, takes the
// names of its language and refuses the rest with the reason; the text hook and the log show the name
// as it was typed.
TEST_F(TranslationEngine, TheNameDialogTakesTheNamesOfTheTranslationsLanguage) {
  setenv("XDG_CACHE_HOME", (dir() / "cache").c_str(), 1);
  BuildTestGame(dir(), {{{1, "heroname\nmsg \"①「行くぞ。」\"\n"}}, {}, {}});
  std::filesystem::create_directories(dir() / "tl");
  const std::string header = "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n";
  WriteFile(dir() / "tl" / "en.po",
            header +
                "\nmsgctxt \"hero name\"\nmsgid \"カザミネ\"\nmsgstr \"Kazamine\"\n"
                "\nmsgctxt \"script 1 message 0\"\nmsgid \"「行くぞ。」\"\nmsgstr \"“Let's go.”\"\n");
  WriteFile(dir() / "tl" / "ru.po", header);
  const auto texts = [&](const std::string& lang, const std::vector<std::string>& names) {
    if (form_) CloseGame();
    std::filesystem::remove(dir() / "SAVE.DAT");
    std::string events = "100 dialog-text " + (dir() / "0.txt").string() + "\n";
    for (size_t i = 0; i < names.size(); ++i)
      events += std::to_string(200 + 100 * i) + " name " + names[i] + "\n" + std::to_string(250 + 100 * i) +
                " dialog-text " + (dir() / (std::to_string(i + 1) + ".txt")).string() + "\n";
    LaunchOptions options;
    options.lang = lang;
    options.textHook = (dir() / (lang + "-hook.txt")).string();
    StartEngine(events, 0, options);
    EXPECT_TRUE(RunUntilTask(task::MessageWait));
    std::vector<std::string> shown;
    for (size_t i = 0; i < names.size(); ++i) shown.push_back(ReadFile(dir() / (std::to_string(i) + ".txt")));
    return shown;
  };
  EXPECT_EQ(texts("en", {"Ken2", std::string(17, 'k'), "  Jean-Luc  Picard "}),
            (std::vector<std::string>{"His name is...\nEnter a name (1 to 16 letters)\nKazamine\n",
                                      "His name is...\n2 cannot be used in a name\nKen2\n",
                                      "His name is...\nA name has 1 to 16 letters\n" + std::string(17, 'k') + "\n"}));
  EXPECT_EQ(HeroName(), u"Jean-Luc Picard");
  CloseGame();
  EXPECT_EQ(ReadFile(dir() / "en-hook.txt"), "Jean-Luc Picard: “Let's go.”\n");
  EXPECT_EQ(texts("ru", {"Anna", "Анна-Мария"})[1], "Его зовут…\nВ имени нельзя использовать: Ana\nAnna\n");
  EXPECT_EQ(HeroName(), u"Анна-Мария");
}

// The notice line's pixels (the frame's bottom left), where a notice is drawn.
std::vector<uint8_t> NoticeArea(const TABitmap& frame) {
  std::vector<uint8_t> area;
  for (int32_t y = 570; y < 600; ++y) area.insert(area.end(), frame.ScanLine(y), frame.ScanLine(y) + 200 * 4);
  return area;
}

TEST_F(TranslationEngine, AccentedNoticesShowTheirLettersNotTheCodePagesQuestionMark) {
  std::filesystem::create_directories(dir() / "tl");
  setenv("XDG_CACHE_HOME", (dir() / "cache").c_str(), 1);
  WriteFile(dir() / "tl" / "en.po", std::string(kEnglish) +
                                        "\nmsgctxt \"engine\"\nmsgid \"クイックセーブしました\"\nmsgstr \"Sauvé\"\n"
                                        "\nmsgctxt \"engine\"\nmsgid \"クイックロードしました\"\nmsgstr \"Sauv?\"\n");
  LaunchOptions options;
  options.lang = "en";
  StartGame(kGame, options);
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Apply("quicksave");
  Passes(2);
  ASSERT_EQ(Notice(), u"Sauvé");
  const std::vector<uint8_t> accented = NoticeArea(Frame());
  Apply("quickload");
  Passes(2);
  ASSERT_EQ(Notice(), u"Sauv?");
  EXPECT_NE(accented, NoticeArea(Frame()));
}

// The save screen's own label over the quick-save slot, drawn in the language chosen: the game is started
// from its title, so that saving is offered, and the save screen's last page is shown.
TEST_F(TranslationEngine, SaveScreenLabelIsDrawnFromTheTranslation) {
  std::filesystem::create_directories(dir() / "tl");
  setenv("XDG_CACHE_HOME", (dir() / "cache").c_str(), 1);
  WriteFile(dir() / "tl" / "en.po",
            std::string(kEnglish) + "\nmsgctxt \"engine\"\nmsgid \"通常セーブ不可\"\nmsgstr \"Quick save only\"\n");
  BuildTestGame(dir(), {{{1, "title\nmsg \"一つ目。\"\n"}}, {}, {}});
  auto labelIn = [&](const std::string& lang) {
    if (form_) CloseGame();
    const std::string shot = (dir() / (lang + ".png")).string();
    LaunchOptions options;
    options.lang = lang;
    StartEngine(
        "2000 click 200 100\n"  // "はじめから" on the title
        "4000 menu menuSave\n"
        "4100 click 565 20\n"  // the last page, where slot 100 is
        "4200 screenshot-saveload " +
            shot + "\n4300 click 600 580\n",
        0, options);
    RunMs(4500);
    const std::string png = ReadFile(shot);
    PngImage image;
    std::string error;
    EXPECT_TRUE(DecodePng({reinterpret_cast<const uint8_t*>(png.data()), png.size()}, image, error)) << error;
    std::vector<uint8_t> box;  // inside the yellow box over slot 100
    for (int32_t y = 497; image.pixels.IsValid() && y < 545; ++y)
      box.insert(box.end(), image.pixels.ScanLine(y) + 364 * 4, image.pixels.ScanLine(y) + 508 * 4);
    return box;
  };
  const std::vector<uint8_t> original = labelIn("ja");
  const std::vector<uint8_t> english = labelIn("en");
  ASSERT_FALSE(original.empty());
  EXPECT_NE(english, original);
}

// A game without translations, played by a player whose language the engine's own texts are shipped in.
TEST_F(TranslationEngine, EngineTextsComeFromTheShippedTranslationWhereTheGameHasNone) {
  LaunchOptions options;
  options.environmentLanguages = {"en_GB.UTF-8"};
  StartGame(kGame, options);
  EXPECT_EQ(platform().MenuCaption(MenuItem::menuSave), u"Save");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  EXPECT_EQ(MessageShown(), u"一つ目。");
  Apply("quicksave");
  Passes(2);
  EXPECT_EQ(Notice(), u"Quick saved");
}

// A damaged SAVE.DAT is put aside and told in the error list in the language chosen, from the engine's
// shipped English, and in Japanese as it always was.
TEST_F(TranslationEngine, DamagedSaveFileIsToldInTheLanguageChosen) {
  BuildTestGame(dir(), kGame);
  auto startWithDamagedSave = [&](const std::string& lang) {
    if (form_) CloseGame();
    std::filesystem::remove(dir() / "SAVE.DAT");
    WriteFile(dir() / "SAVE.DAT", "12345");
    LaunchOptions options;
    options.lang = lang;
    StartEngine({}, 0, options);
  };
  startWithDamagedSave("en");
  EXPECT_EQ(ErrorsWith("SAVE.DAT is 5 bytes long, not the 407472 bytes it should be; the file is kept as "
                       "SAVE.DAT.damaged-"),
            1);
  startWithDamagedSave("ja");
  EXPECT_EQ(ErrorsWith("SAVE.DAT の大きさが 5 バイトで、正しい大きさの 407472 バイトと違います。元のファイルを "
                       "SAVE.DAT.damaged-"),
            1);
}

// The game picker's texts and every engine text, shipped in seven languages and found beside the program:
// every Japanese text translated (the few error lines written in English are their own), and every blank
// the engine fills kept.
TEST(TranslationLanguage, EngineTextsShippedForThePlayersLanguage) {
  const std::filesystem::path dir = EngineTranslationsDir(ExecutableDirectory());
  EXPECT_EQ(EngineTranslationFile(dir, "", {"ja_JP.UTF-8", "en_US.UTF-8"}), "");
  EXPECT_EQ(EngineTranslationFile(dir, "", {"pt_BR.UTF-8", "de_DE.UTF-8"}).filename(), "de.po");
  for (const char* language : {"en", "ru", "zh_CN", "ko", "es", "fr", "de"}) {
    TranslationCatalog shipped;
    std::vector<std::string> problems;
    ASSERT_TRUE(shipped.Load(EngineTranslationFile(dir, language, {}), problems)) << language;
    EXPECT_TRUE(problems.empty()) << language;
    for (std::u16string_view text : EngineTexts()) {
      const std::optional<std::u16string_view> shown = shipped.Find(kEngineTextContext, text);
      if (std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0x7F; })) {
        EXPECT_TRUE(shown) << language << ": " << ToUtf8(text);
      }
      for (std::u16string_view blank : Placeholders(text))
        EXPECT_NE(shown.value_or(text).find(blank), std::u16string::npos) << language << ": " << ToUtf8(text);
    }
  }
}

TEST(TranslationLanguage, OptionThenPlayersLanguagesWhereTheGameHasThem) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "tl");
  WriteFile(dir.path() / "tl" / "pt.po", "");
  WriteFile(dir.path() / "tl" / "zh_CN.po", "");
  EXPECT_EQ(ChooseLanguage(dir.path(), "fr", {"pt"}), "fr");  // asked for: reported when missing
  EXPECT_EQ(ChooseLanguage(dir.path(), "ja", {"pt"}), "");
  EXPECT_EQ(ChooseLanguage(dir.path(), "", {"de_DE.UTF-8", "pt_BR.UTF-8@x"}), "pt");
  EXPECT_EQ(ChooseLanguage(dir.path(), "", {"zh_CN.UTF-8"}), "zh_CN");
  EXPECT_EQ(ChooseLanguage(dir.path(), "", {"C.UTF-8", "pt"}), "");
  EXPECT_EQ(ChooseLanguage(dir.path(), "", {"de"}), "");
  EXPECT_EQ(EnvironmentLanguages("fr:de:", "pt_BR.UTF-8"), (std::vector<std::string>{"fr", "de", "pt_BR.UTF-8"}));
}

}  // namespace
}  // namespace mokuren::testing
