// The name entry, settings and debug windows as a player and a scenario writer meet them: scenarios run
// headless, the dialogs operated through the events file, checked by what the dialogs show, what reaches
// SAVE.DAT, what is heard and what the debug window dumps.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <map>
#include <sstream>

#include "app/engine_state.h"
#include "base/text_codec.h"
#include "ogg_encode.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "support/wav_file.h"

namespace mokuren::testing {
namespace {

class DialogScenario : public EngineFixture {
 protected:
  std::filesystem::path Path(const std::string& name) { return dir() / name; }
  std::string Text(const std::string& name) { return ReadFile(Path(name)); }
  // Runs passes (a modal dialog runs its own inside one) until the script waits at a message.
  void UntilMessageWait() { ASSERT_TRUE(RunUntilTask(task::MessageWait, 3000)); }
  // The events file's lines with the files they write placed in the game directory.
  std::string Events(const std::string& lines) {
    std::string out, line;
    std::istringstream in(lines);
    while (std::getline(in, line)) {
      const size_t file = line.rfind(" @");
      out += file == std::string::npos ? line : line.substr(0, file + 1) + Path(line.substr(file + 2)).string();
      out += '\n';
    }
    return out;
  }
};

constexpr char kHint[] = "全角２文字以上　６文字以内で名前を入力してください";
constexpr char kShortHint[] = "全角2〜6文字で入力してください";

TEST_F(DialogScenario, NameEntryTakesOnlyAValidNameWhichLaterMessagesShow) {
  BuildTestGame(dir(), TestGame{{{1, "heroname\nmsg \"①です。\"\n"}}, {}, {}});
  StartEngine(
      Events("200 name ミナa\n"  // a half-width letter
             "250 name ミ\n"
             "300 name ミナトカザミネア\n"  // seven characters
             "350 dialog cancel\n"
             "400 dialog-text @ignored.txt\n"
             "500 name ミ①ナ「ト\n"
             "600 dialog-text @refused.txt\n"
             "5300 dialog-text @still.txt\n"
             "5500 dialog-text @hint.txt\n"
             "5600 name ミナト\n"));
  UntilMessageWait();
  const std::string caption = "その男の名前は・・・\n";
  EXPECT_EQ(Text("ignored.txt"), caption + kShortHint + "\nミナトカザミネア\n");
  EXPECT_EQ(Text("refused.txt"), caption + "①「 は名前に使用できません\nミ①ナ「ト\n");
  EXPECT_EQ(Text("still.txt"), Text("refused.txt"));
  EXPECT_EQ(Text("hint.txt"), caption + kHint + "\nミ①ナ「ト\n");
  EXPECT_EQ(MessageLines()[1], u"ミナトです。");
  // The name reaches SAVE.DAT in its own field, padded with zeros.
  CloseGame();
  const std::string save = Text("SAVE.DAT");
  ASSERT_EQ(save.size(), kSaveFileSize);
  std::u16string stored(16, u'\0');
  std::memcpy(stored.data(), save.data() + offsetof(SaveBlock, StoredHeroName), 32);
  EXPECT_EQ(stored, std::u16string(u"ミナト") + std::u16string(13, u'\0'));
}

TEST_F(DialogScenario, WithoutNestedLoopsEachPassIsOneAndAnsweredDialogsGoOnWhereTheyWereOpened) {
  // The browser's way: no pass runs inside another; the name entry, the quit question refused and then
  // confirmed go on from the passes that follow their answers.
  BuildTestGame(dir(), TestGame{{{1, "heroname\nmsg \"①です。\"\n"}}, {}, {}});
  auto platform = std::make_unique<HeadlessPlatform>();
  platform->SetNestedModalLoops(false);
  LaunchOptions options;
  options.maxMs = 60000;  // ends a pass that would wait inside itself
  StartEngine({}, 0, options, std::move(platform));
  ASSERT_TRUE(RunUntil([&] { return FrontForm() == FormId::TNameForm; }));
  const int64_t before = PassCount();
  Passes(3);
  EXPECT_EQ(PassCount(), before + 3);
  Apply("name ミナト");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  EXPECT_EQ(MessageLines()[1], u"ミナトです。");
  Menu(MenuItem::menuQuit);
  Passes(20);
  ASSERT_EQ(FrontForm(), FormId::TQueryForm);
  Apply("dialog cancel");
  Passes(1);
  EXPECT_FALSE(FrontForm());
  Menu(MenuItem::menuQuit);
  Passes(1);
  Apply("dialog ok");
  Passes(1);
  EXPECT_TRUE(Closed());
  std::u16string stored(3, u'\0');
  std::memcpy(stored.data(), Text("SAVE.DAT").data() + offsetof(SaveBlock, StoredHeroName), 6);
  EXPECT_EQ(stored, u"ミナト");
}

// Each refusal says its own reason: a name of the wrong length or with a half-width character gets a short
// hint, and the refusal of an earlier try does not stay.
TEST_F(DialogScenario, NameDialogShowsTheReasonOfTheLatestTry) {
  BuildTestGame(dir(), TestGame{{{1, "heroname\nmsg \"①\"\n"}}, {}, {}});
  StartEngine(
      Events("200 name ①ハル\n"
             "250 name ハル ト\n"
             "300 dialog-text @spaced.txt\n"
             "350 name \n"
             "400 dialog-text @empty.txt\n"
             "450 name ハルト\n"));
  UntilMessageWait();
  const std::string caption = "その男の名前は・・・\n";
  EXPECT_EQ(Text("spaced.txt"), caption + kShortHint + "\nハル ト\n");
  EXPECT_EQ(Text("empty.txt"), caption + kShortHint + "\n\n");
}

// A name stored in SAVE.DAT is what the dialog offers at the next start.
TEST_F(DialogScenario, NameDialogOffersTheStoredName) {
  BuildTestGame(dir(), TestGame{{{1, "heroname\nmsg \"①\"\nwait click\n"}}, {}, {}});
  StartEngine("100 name ミナト\n");
  UntilMessageWait();
  CloseGame();
  StartEngine(Events("100 dialog-text @offered.txt\n200 dialog ok\n"));
  UntilMessageWait();
  EXPECT_EQ(Text("offered.txt"), std::string("その男の名前は・・・\n") + kHint + "\nミナト\n");
}

TEST_F(DialogScenario, TheDefaultNameIsAcceptedAsItStands) {
  BuildTestGame(dir(), TestGame{{{1, "heroname\nmsg \"①\"\n"}}, {}, {}});
  StartEngine("100 dialog ok\n");
  UntilMessageWait();
  EXPECT_EQ(MessageLines()[1], u"カザミネ");
}

// Read skip ends at the name entry, and the message after the name waits for the player.
TEST_F(DialogScenario, TheMessageAfterNameEntryWaitsThoughReadSkipRanBeforeIt) {
  const std::string script = "sysmenu 1\nallowskip 1\nmsg \"一\"\nheroname\nF1 = 1\nmsg \"①です。\"\nwait click\n";
  BuildTestGame(dir(), TestGame{{{1, script}}, {}, {}});
  StartEngine("1000 name ミナト\n");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Passes(1);  // the menu is enabled at the start of a pass
  Menu(MenuItem::menuKSkip);
  RunMs(3000);
  EXPECT_EQ(Var('F', 1), 1);
  EXPECT_EQ(Task(), task::MessageWait);
}

// The music plays at the settings volume until the BGM slider reaches 0, and is silent from the next
// refill on while the dialog is still up; OK then stores every control, and with the screen effects off
// the next scene appears without a cross-fade.
TEST_F(DialogScenario, SettingsActAtOnceAndOkStoresThemInSaveDat) {
  TestGame game;
  game.scripts[1] = "bgm 1, 1\nwait 3000\nbg \"BG01\"\nshow\nwait click\n";
  game.graphics = {{"BG01", SolidPng(800, 600, 200, 40, 40)}};
  BuildTestGame(dir(), game);
  std::filesystem::create_directories(Path("Sound"));
  WriteFile(Path("Sound/M01.ogg"), EncodeOgg(Sine(440, 20000, 6.0, 2, 44100), 2, 44100));
  WriteFile(Path("events.txt"), Events("1000 menu menuConfig\n"
                                       "1500 config bgm=0\n"
                                       "2500 dialog-text @config.txt\n"
                                       "2600 config effects=off mode=full speed=3 auto=7 se=40 voice=55\n"
                                       "2700 dialog ok\n"));
  const std::string args = "'" + dir().string() + "' --headless --max-ms 4500 --events '" +
                           Path("events.txt").string() + "' --record-audio '" + Path("out.wav").string() +
                           "' --trace '" + Path("trace.txt").string() + "'";
  ASSERT_EQ(RunProgram(args, {}, Path("stderr.txt").string()), 0) << Text("stderr.txt");

  EXPECT_EQ(
      Text("config.txt"),
      "環境設定\n画面エフェクト\nあり\nなし\n画面モード\nウィンドウ\nフルスクリーン\nメッセージスピード\nはやい\n標準\n"
      "おそい\n自動進行\n0秒\n20秒\nボリューム\nＢＧＭ\n効果音\n小\n大\nボイス\n");
  WavRecording r = ReadWav(Path("out.wav"));
  const size_t start = r.FirstAbove(0, 0, 500);
  ASSERT_LT(start + 3 * 44100, r.Frames());
  // The music starts as the loop does. It goes on while the dialog opens, and is silent one refill
  // (about 0.46 s) after the slider reached 0 at 1.5 s, with the dialog still up until 2.7 s.
  EXPECT_GT(r.Rms(start + 44100 * 12 / 10, 2205, 0), 1000);
  EXPECT_EQ(r.Rms(start + 44100 * 2, 44100 * 7 / 10, 0), 0);

  const std::string save = Text("SAVE.DAT");
  ASSERT_EQ(save.size(), kSaveFileSize);
  SaveBlock block;
  std::memcpy(&block, save.data(), sizeof block);
  EXPECT_EQ(block.EffectsOn, 0);
  EXPECT_EQ(block.FullScreen, 1);
  EXPECT_EQ(block.MessageSpeed, 3);
  EXPECT_EQ(block.AutoDelay, 7);
  EXPECT_EQ(block.BgmVolume, 0);
  EXPECT_EQ(block.SeVolume, 40);
  EXPECT_EQ(block.VoiceVolume, 55);

  // The show after the dialog: its transition ends on its first step, the pass after it started.
  std::istringstream trace(Text("trace.txt"));
  std::string line, fade;
  while (std::getline(trace, line)) {
    if (!fade.empty()) {
      EXPECT_EQ(std::stoul(line), std::stoul(fade) + 10) << fade << "\n" << line;
      break;
    }
    if (line.find(" TC=2001 ") != std::string::npos) fade = line;
  }
  EXPECT_FALSE(fade.empty()) << Text("trace.txt");
}

// Full screen chosen in the settings is left at close and taken up again at the next start. (Events at
// the time that opens the dialog reach it.)
TEST_F(DialogScenario, FullScreenLastsAcrossARestart) {
  StartEngine("100 menu menuConfig\n100 config mode=full\n100 dialog ok\n");
  Passes(40);
  EXPECT_TRUE(platform().FullScreenShown());
  CloseGame();
  EXPECT_FALSE(platform().FullScreenShown());
  StartEngine("100 menu menuConfig\n200 config mode=window\n300 dialog ok\n");
  EXPECT_TRUE(platform().FullScreenShown());
  Passes(40);
  EXPECT_FALSE(platform().FullScreenShown());
  CloseGame();
  EXPECT_EQ(Text("SAVE.DAT")[offsetof(SaveBlock, FullScreen)], 0);
}

TEST_F(DialogScenario, DebugWindowShowsTheStatusListsErrorsAndItsButtonsDumpAndSetTheAlbum) {
  BuildTestGame(dir(), TestGame{{{1, "F5 = 3\nse 7\nwait click\n"}}, {}, {}});
  WriteFile(Path("debugmode.txt"), "");
  StartEngine(
      Events("100 debug AlbumOn @on.txt\n"
             "110 debug FLG @flg.txt\n"
             "120 debug MSG @msg.txt\n"
             "130 debug AlbumRnd @rnd.txt\n"));
  Passes(20);
  const std::vector<std::u16string> debug = DebugStatus();
  EXPECT_EQ(debug[0], u"Debug Window : Mokuren Ver.0.88");
  EXPECT_EQ(ToUtf8(debug[1]).substr(0, 20), "TC:8388866 NO:1 ST:2");
  EXPECT_EQ(ToUtf8(debug[2]), "BGM:0 SE1:7 SE2:0 SE3:0");
  EXPECT_EQ(Errors().back(), "script 1 step 1: Sound/S07.oggが見つかりません");

  // "Album ON" leaves the window's dump as it was; the flags it set show in the next one.
  EXPECT_EQ(Text("on.txt"), "");
  const std::string flg = Text("flg.txt");
  EXPECT_NE(flg.find("F5:3 "), std::string::npos);
  EXPECT_NE(flg.find("S201:1 S202:1 "), std::string::npos);
  EXPECT_NE(flg.find("S300:1 S301:0 "), std::string::npos);
  const std::string msg = Text("msg.txt");
  EXPECT_EQ(msg.substr(0, msg.find('\n')), "--メッセージログ-------------------------------------------");
  EXPECT_NE(msg.find("\n1: []\n"), std::string::npos);
  EXPECT_NE(msg.find("\n100: []\n"), std::string::npos);
  // A random draw sets some flags and clears others.
  const int set = CgSeen();
  EXPECT_GT(set, 100);
  EXPECT_LT(set, 309);
}

}  // namespace
}  // namespace mokuren::testing
