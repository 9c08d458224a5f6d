// The title menu: which item the pointer is on, what each item does, the opening-movie switch and its
// look, and the popup menu's way back to the title.
#include <gtest/gtest.h>

#include "dialogs/TQueryForm.h"
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
  void Start(const std::string& script1 = kTitleScript, const std::string& events = {}) {
    if (form_) {
      form_.reset();
      platform_.reset();
    }
    TestGame game;
    game.scripts[1] = script1;
    game.sysgrp[61] = toolkit::SolidPng(800, 600, kBackground >> 16, (kBackground >> 8) & 255, kBackground & 255);
    game.sysgrp[63] = SheetPng();
    BuildTestGame(dir_.path(), game);
    std::filesystem::remove(dir_.path() / "SAVE.DAT");
    StartEngine(events);
    Passes(1);  // start-up's second stage loads script 1
    // What the script's title command does, so that these tests do not depend on the interpreter.
    form_->StepNo = 2;
    form_->TaskCode = task::TitleMenuOpen;
    ASSERT_TRUE(PassUntil(task::TitleMenu));
  }
  // Passes until the loop's clock reaches ms (or the program ends).
  bool PassUntilMs(uint32_t ms) {
    while (!form_->Terminated() && form_->ElapsedMs() < ms) form_->IdleEvent();
    return !form_->Terminated();
  }
  bool PassUntil(int32_t code, int limit = 500) {
    for (int i = 0; i < limit && form_->TaskCode != code; ++i) form_->IdleEvent();
    return form_->TaskCode == code;
  }
  void Click(Point p) {
    platform().InjectCursor(WindowId::Main, p);
    form_->FormMouseDown(MouseButton::Left, p);
    Passes(1);
  }
  void Hover(Point p) {
    platform().InjectCursor(WindowId::Main, p);
    Passes(1);
  }
  void Restart() {
    form_->CloseConfirmed();
    form_.reset();
    platform_.reset();
    StartEngine();
  }
};

TEST_F(TitleMenu, FadesInOverTheBackgroundAndHighlightsTheHoveredItem) {
  Start();
  EXPECT_EQ(form_->AlbumBgmNo, 9);  // set at start-up when it was 0
  EXPECT_EQ(Rgb(form_->DisplaySurface, 600, 500), kBackground);
  EXPECT_EQ(form_->SystemMenuAllowed, 0);
  EXPECT_EQ(form_->CursorShown, 1);

  Hover({250, 150});  // item 2
  EXPECT_EQ(form_->MenuHover, 2);
  form_->Kumo_DrawTitleMenu();
  EXPECT_EQ(Rgb(form_->FrameSurface, 250, 150), kHighlight);
  EXPECT_EQ(Rgb(form_->FrameSurface, 250, 175), kHighlight);
  EXPECT_EQ(Rgb(form_->FrameSurface, 250, 176), kBackground);  // item 3 is not lit
  EXPECT_EQ(Rgb(form_->FrameSurface, 250, 131), kBackground);

  Hover({109, 150});
  EXPECT_EQ(form_->MenuHover, 0);
  // Outside the waiting task nothing is drawn.
  form_->FrameSurface.FillRGB(1, 2, 3);
  form_->MenuHover = 2;
  form_->TaskCode = task::Script;
  form_->Kumo_DrawTitleMenu();
  EXPECT_EQ(Rgb(form_->FrameSurface, 250, 150), 0x010203u);
}

TEST_F(TitleMenu, MusicZeroBecomesTrackEightWhenTheTitleOpens) {
  Start();
  form_->AlbumBgmNo = 0;
  form_->TaskCode = task::TitleMenuOpen;
  Passes(1);
  EXPECT_EQ(form_->AlbumBgmNo, 8);
  EXPECT_EQ(form_->TaskCode, task::Effect91);
  EXPECT_EQ(form_->ResumeTaskCode, task::TitleMenu);
  EXPECT_TRUE(PassUntil(task::TitleMenu, 60));
}

TEST_F(TitleMenu, MovieSwitchTogglesShowsItsLookAndPersists) {
  Start();
  ASSERT_EQ(form_->SystemVars.Get(451), 0);
  Click({200, 240});
  EXPECT_EQ(form_->SystemVars.Get(451), -1);
  EXPECT_EQ(form_->TaskCode, task::TitleMenu);
  // Hovered and switched on: the on look wins.
  form_->Kumo_DrawTitleMenu();
  EXPECT_EQ(Rgb(form_->FrameSurface, 200, 240), kSwitchedOn);
  Click({200, 240});
  EXPECT_EQ(form_->SystemVars.Get(451), 0);
  form_->Kumo_DrawTitleMenu();
  EXPECT_EQ(Rgb(form_->FrameSurface, 200, 240), kHighlight);
  Hover({600, 500});
  form_->FrameSurface = form_->DisplaySurface;
  form_->Kumo_DrawTitleMenu();
  EXPECT_EQ(Rgb(form_->FrameSurface, 200, 240), kBackground);  // the plain look again

  Click({200, 240});
  Restart();
  EXPECT_EQ(form_->SystemVars.Get(451), -1);
  Passes(1);
  form_->TaskCode = task::TitleMenuOpen;
  ASSERT_TRUE(PassUntil(task::TitleMenu));
  // The switched-on look is part of the screen that fades in.
  EXPECT_EQ(Rgb(form_->DisplaySurface, 200, 240), kSwitchedOn);
  EXPECT_EQ(Rgb(form_->DisplaySurface, 200, 200), kBackground);
}

TEST_F(TitleMenu, StartClearsTheGameAndTheScriptGoesOnAfterItsTitleCommand) {
  Start();
  form_->ScenarioVars.Set(1, 41);
  form_->ScenarioVars.Set(2, 7);
  form_->WorkVars.Set(101, 3);
  form_->WorkVars.Set(102, 4);
  form_->ReturnDepth = 2;
  form_->AutoMode = 1;
  Click({110, 88});
  EXPECT_EQ(form_->TaskCode, task::Script);
  EXPECT_EQ(form_->ScenarioVars.Get(2), 0);
  EXPECT_EQ(form_->WorkVars.Get(101), 0);
  EXPECT_EQ(form_->WorkVars.Get(102), 4);  // other work variables stay
  EXPECT_EQ(form_->ReturnDepth, 0);
  EXPECT_EQ(form_->AutoMode, 0);
  EXPECT_EQ(form_->NormalPlay, 1);
  EXPECT_EQ(form_->SystemMenuAllowed, 1);
  // The interpreter goes on after the title command.
  EXPECT_EQ(form_->StepNo, 2);
}

TEST_F(TitleMenu, AlbumOpensItsMenuAndQuitAsksFirst) {
  // The title is up after about 0.6 s; the events answer the close question.
  Start(kTitleScript, "1000 click 300 300\n1100 dialog cancel\n1500 click 300 300\n1600 dialog ok\n");
  Click({300, 308});  // between items: nothing
  EXPECT_EQ(form_->TaskCode, task::TitleMenu);
  ASSERT_TRUE(PassUntilMs(1200));
  EXPECT_FALSE(form_->Terminated());
  EXPECT_EQ(form_->QueryForm->Label1, u"ゲームを終了しますか？");
  EXPECT_EQ(form_->TaskCode, task::TitleMenu);
  PassUntilMs(1700);
  EXPECT_TRUE(form_->Terminated());

  Start();
  Click({300, 200});
  EXPECT_EQ(form_->TaskCode, task::AlbumMenuOpen);
}

// A game running script 2, waiting at a message, when the popup menu's "タイトルに戻る" is chosen; the
// events answer the question.
class ReturnToTitle : public TitleMenu {
 protected:
  void StartInGame(const std::string& script1, const std::string& answer) {
    Start(script1, "1000 dialog " + answer + "\n");
    form_->ScriptNo = 2;
    form_->StepNo = 7;
    form_->TaskCode = task::MessageWait;
    form_->ScenarioVars.Set(5, 55);
    before_ = form_->DisplaySurface;
    ASSERT_TRUE(platform().MenuEnabled(MenuItem::menuTitle));
    form_->menuTitleClick();
  }
  TABitmap before_;
};

TEST_F(ReturnToTitle, CancelLeavesTheGameUntouched) {
  StartInGame(kTitleScript, "cancel");
  EXPECT_EQ(form_->QueryForm->Label1, u"タイトルに戻りますか？");
  EXPECT_EQ(form_->ScriptNo, 2);
  EXPECT_EQ(form_->StepNo, 7);
  EXPECT_EQ(form_->TaskCode, task::MessageWait);
  EXPECT_EQ(form_->ScenarioVars.Get(5), 55);
  EXPECT_TRUE(form_->DisplaySurface == before_);
}

TEST_F(ReturnToTitle, OkRunsTheTitleCommandOfScript1Next) {
  StartInGame(kTitleScript, "ok");
  EXPECT_EQ(form_->ScriptNo, 1);
  EXPECT_EQ(form_->StepNo, 1);  // the title command is instruction 2
  EXPECT_EQ(form_->TaskCode, task::Script);
}

TEST_F(ReturnToTitle, Script1WithoutATitleCommandStartsFromItsBeginning) {
  // The title command after the end instruction is never reached by the search.
  StartInGame("wait 1000\nend\ntitle\n", "ok");
  EXPECT_EQ(form_->ScriptNo, 1);
  EXPECT_EQ(form_->StepNo, -1);
  EXPECT_EQ(form_->TaskCode, task::Script);
}

}  // namespace
}  // namespace mokuren::testing
