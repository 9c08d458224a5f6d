// The title menu: which item the pointer is on, what each item does, the opening-movie switch and its
// look, and the popup menu's way back to the title.
#include <gtest/gtest.h>

#include "menus/title_menu.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "support/test_surfaces.h"
#include "toolkit/png_writer.h"

namespace mokuren::testing {
namespace {

using title_menu::ItemAt;

TEST(TitleMenuLayout, PointerRowsAndEdges) {
  EXPECT_EQ(ItemAt({109, 100}), 0);
  EXPECT_EQ(ItemAt({110, 88}), 1);
  EXPECT_EQ(ItemAt({417, 307}), 5);
  EXPECT_EQ(ItemAt({300, 308}), 0);
  EXPECT_EQ(ItemAt({418, 100}), 0);
  EXPECT_EQ(ItemAt({200, 87}), 0);
  EXPECT_EQ(ItemAt({200, 131}), 1);
  EXPECT_EQ(ItemAt({200, 132}), 2);
  EXPECT_EQ(ItemAt({200, 263}), 4);
  EXPECT_EQ(ItemAt({200, 264}), 5);
  EXPECT_EQ(ItemAt({-5000, -5000}), 0);
}

// Colours of the test pictures (red, green, blue).
constexpr uint32_t kBackground = 0x204060;  // entry 61
constexpr uint32_t kHighlight = 0xC0A020;   // entry 63, the items' column
constexpr uint32_t kSwitchedOn = 0x10E010;  // entry 63, at (418, 220)

// The sheet: highlighted looks over the items' column, the switch's on look beside item 4.
std::string SheetPng() {
  std::vector<uint8_t> rgba(800 * 600 * 4, 0);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      uint32_t c = 0x000000;
      if (x >= 110 && x <= 417 && y >= 88 && y <= 307) c = kHighlight;
      if (x >= 418 && x <= 725 && y >= 220 && y <= 263) c = kSwitchedOn;
      uint8_t* p = &rgba[(y * 800 + x) * 4];
      p[0] = c >> 16, p[1] = (c >> 8) & 255, p[2] = c & 255, p[3] = 255;
    }
  return toolkit::EncodePng(800, 600, rgba);
}

// Script 1 opens the title at step 2 and, once a game starts, counts up F1 and comes back.
const std::string kTitleScript = "cursor 1\nsysmenu 0\ntitle\nF1 = F1 + 1\ntitle\n";

class TitleMenu : public EngineFixture {
 protected:
  // The game with the title's pictures; script 1 is `script1`, other scripts may be added.
  TestGame Game(const std::string& script1 = kTitleScript) {
    TestGame game;
    game.scripts[1] = script1;
    game.sysgrp = NeutralSystemPictures();
    game.sysgrp[61] = toolkit::SolidPng(800, 600, kBackground >> 16, (kBackground >> 8) & 255, kBackground & 255);
    game.sysgrp[63] = SheetPng();
    return game;
  }
  // Starts `game` with the events file `events` and runs until its title menu waits for the player.
  void Start(const TestGame& game, const std::string& events = {}) {
    if (form_) CloseGame();
    BuildTestGame(dir(), game);
    std::filesystem::remove(dir() / "SAVE.DAT");
    StartEngine(events);
    ASSERT_TRUE(RunUntilTask(task::TitleMenu));
  }
  void Start() { Start(Game()); }
  void Click(Point p) {
    EngineFixture::Click(p.x, p.y);
    Passes(1);
  }
  void Hover(Point p) {
    MoveTo(p.x, p.y);
    Passes(1);
  }
  void NextFrame() {
    const int64_t frames = FrameCount();
    while (FrameCount() == frames) Passes(1);
  }
  std::string Path(const std::string& name) { return (dir() / name).string(); }
};

TEST_F(TitleMenu, FadesInOverTheBackgroundAndHighlightsTheHoveredItem) {
  Start();
  EXPECT_EQ(ErrorsWith("Sound/M09.ogg"), 1);  // track 9, set at start-up when none was
  NextFrame();
  EXPECT_EQ(Rgb(Frame(), 600, 500), kBackground);
  EXPECT_TRUE(platform().CursorShownNow());
  const int popups = platform().Popups();
  RightClick(600, 500);
  EXPECT_EQ(platform().Popups(), popups);  // the script forbids the menu

  Hover({250, 150});  // item 2
  EXPECT_EQ(TitleHovered(), 2);
  NextFrame();
  EXPECT_EQ(Rgb(Frame(), 250, 150), kHighlight);
  EXPECT_EQ(Rgb(Frame(), 250, 175), kHighlight);
  EXPECT_EQ(Rgb(Frame(), 250, 176), kBackground);  // item 3 is not lit
  EXPECT_EQ(Rgb(Frame(), 250, 131), kBackground);

  Hover({109, 150});
  EXPECT_EQ(TitleHovered(), 0);
  NextFrame();
  EXPECT_EQ(Rgb(Frame(), 250, 150), kBackground);
}

TEST_F(TitleMenu, MovieSwitchTogglesShowsItsLookAndPersists) {
  Start();
  ASSERT_EQ(Var('S', 451), 0);
  Click({200, 240});
  EXPECT_EQ(Var('S', 451), -1);
  EXPECT_EQ(Task(), task::TitleMenu);
  // Hovered and switched on: the on look wins.
  NextFrame();
  EXPECT_EQ(Rgb(Frame(), 200, 240), kSwitchedOn);
  Click({200, 240});
  EXPECT_EQ(Var('S', 451), 0);
  NextFrame();
  EXPECT_EQ(Rgb(Frame(), 200, 240), kHighlight);
  Hover({600, 500});
  NextFrame();
  EXPECT_EQ(Rgb(Frame(), 200, 240), kBackground);  // the plain look again

  Click({200, 240});
  CloseGame();
  StartEngine();
  EXPECT_EQ(Var('S', 451), -1);
  ASSERT_TRUE(RunUntilTask(task::TitleMenu));
  // The switched-on look is part of the screen that fades in.
  NextFrame();
  EXPECT_EQ(Rgb(Frame(), 200, 240), kSwitchedOn);
  EXPECT_EQ(Rgb(Frame(), 200, 200), kBackground);
}

TEST_F(TitleMenu, StartClearsTheGameAndTheScriptGoesOnAfterItsTitleCommand) {
  // Auto mode on, variables set and a call open when the title comes.
  BuildTestGame(dir(), Game("sysmenu 1\nmsg \"一\"\nsysmenu 0\nF1 = 41\nF2 = 7\nW101 = 3\nW102 = 4\ncall menu\n"
                            "F3 = 1\n*menu\ntitle\nreturn\nmsg \"二\"\nwait click\n"));
  StartEngine();
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Passes(1);
  Menu(MenuItem::menuAuto);
  ASSERT_TRUE(RunUntilTask(task::TitleMenu));
  Click({110, 88});
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  EXPECT_EQ(MessageShown(), u"二");  // the interpreter goes on after the title command
  EXPECT_EQ(Var('F', 2), 0);
  EXPECT_EQ(Var('W', 101), 0);
  EXPECT_EQ(Var('W', 102), 4);  // other work variables stay
  EXPECT_EQ(Var('F', 3), 0);    // the call table is empty: the return goes nowhere
  EXPECT_EQ(PlayModesNow().AutoMode, 0);
  // Normal play, with the popup menu allowed: saving is offered.
  Passes(1);
  EXPECT_TRUE(platform().MenuEnabled(MenuItem::menuSave));
}

TEST_F(TitleMenu, AlbumOpensItsMenuAndQuitAsksFirst) {
  // The title is up after about 0.6 s; the events answer the close question.
  Start(Game(), "1000 click 300 300\n1050 dialog-text " + Path("asked.txt") +
                    "\n1100 dialog cancel\n1300 dialog-text " + Path("after.txt") +
                    "\n1500 click 300 300\n1600 dialog ok\n");
  Click({300, 308});  // between items: nothing
  EXPECT_EQ(Task(), task::TitleMenu);
  ASSERT_TRUE(RunUntil([&] { return Closed(); }));
  EXPECT_EQ(ReadFile(dir() / "asked.txt"), "確認\nゲームを終了しますか？\n");
  // Refused, the title went on: no question up at 1.3 s.
  EXPECT_TRUE(std::filesystem::exists(dir() / "after.txt"));
  EXPECT_EQ(ReadFile(dir() / "after.txt"), "");

  Start();
  Click({300, 200});
  EXPECT_EQ(Task(), task::AlbumMenuOpen);
}

// A game in script 2, waiting at a message, when the popup menu's "タイトルに戻る" is chosen; the events
// answer the question.
class ReturnToTitle : public TitleMenu {
 protected:
  void StartInGame(const std::string& script1, const std::string& answer) {
    TestGame game = Game(script1);
    game.scripts[2] = "*two\nsysmenu 1\nF5 = 55\nmsg \"一\"\nwait click\n";
    BuildTestGame(dir(), game);
    StartEngine("wait message\n+300 dialog-text " + Path("asked.txt") + "\n+10 dialog " + answer + "\n");
    if (RunUntil([&] { return Task() == task::TitleMenu || Task() == task::MessageWait; }) && Task() == task::TitleMenu)
      Click({110, 88});
    ASSERT_TRUE(RunUntilTask(task::MessageWait));
    Passes(10);  // the events' wait holds; their answer comes 300 ms later
    ASSERT_EQ(Script(), 2);
    step_ = Step();
    before_ = Frame();
    ASSERT_TRUE(platform().MenuEnabled(MenuItem::menuTitle));
    Menu(MenuItem::menuTitle);
  }
  int32_t step_ = 0;
  TABitmap before_;
};

TEST_F(ReturnToTitle, CancelLeavesTheGameUntouched) {
  StartInGame("cursor 1\nsysmenu 0\ntitle\njump two, 2\n", "cancel");
  EXPECT_EQ(ReadFile(dir() / "asked.txt"), "確認\nタイトルに戻りますか？\n");
  EXPECT_EQ(Script(), 2);
  EXPECT_EQ(Step(), step_);
  EXPECT_EQ(Task(), task::MessageWait);
  EXPECT_EQ(Var('F', 5), 55);
  EXPECT_TRUE(Frame() == before_);
}

TEST_F(ReturnToTitle, OkRunsTheTitleCommandOfScript1Next) {
  StartInGame("cursor 1\nsysmenu 0\ntitle\njump two, 2\n", "ok");
  EXPECT_EQ(Script(), 1);
  EXPECT_EQ(Step(), 1);  // the title command is instruction 2
  EXPECT_EQ(Task(), task::Script);
}

TEST_F(ReturnToTitle, Script1WithoutATitleCommandStartsFromItsBeginning) {
  // The title command after the end instruction is never reached by the search.
  StartInGame("jump two, 2\nend\ntitle\n", "ok");
  EXPECT_EQ(Script(), 1);
  EXPECT_EQ(Step(), -1);
  EXPECT_EQ(Task(), task::Script);
}

}  // namespace
}  // namespace mokuren::testing
