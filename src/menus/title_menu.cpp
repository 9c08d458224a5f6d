// The title menu: set-up, waiting for the player's choice, the highlight, and the way back to it from
// a running game.
#include "menus/title_menu.h"

#include "app/TForm1.h"
#include "dialogs/TQueryForm.h"
#include "graphics/ABitmapFilters32.h"
#include "script/opcodes.h"

namespace mokuren {

using namespace title_menu;

namespace {

constexpr int32_t kMenuFadeMs = 500;

}  // namespace

bool TForm1::MovieSwitchOn() { return SystemVars.Get(kMovieSwitchVar) != 0; }

void TForm1::Kumo_DispTitleMenu() {
  // The menu shows on the main window only.
  platform().SetFloatVisible(false);
  // The album music, or the default track when none is set.
  if (AlbumBgmNo == 0) AlbumBgmNo = kDefaultMusic;
  Kumo_PlayBGM(AlbumBgmNo, 1, Block->Live.BgmVariant, 1);
  // Title background and menu sheet, with no character layers.
  Kumo_ReadGraphic(0, kBackgroundEntry, true);
  for (int32_t& image : LayerImage) image = 0;
  Kumo_ReadGraphic(51, kSheetEntry, true);
  Kumo_CreateNextImage();
  // Starting the fade may compose NextSurface afresh, so the switch's look goes on after it; the
  // fade's first step is on the next pass.
  StartMenuFade(task::TitleMenu);
  // A movie switch that is on shows its on look.
  if (MovieSwitchOn())
    CopyOpaque(SurfaceTable[92], NextSurface, kItemLeft, kMovieSwitchY, kItemWidth, kItemHeight, kMovieSwitchSheetX,
               kMovieSwitchY);
  // Cursor shown, system menu and on-screen buttons off, and no click carried over.
  CursorShown = 1;
  SystemMenuAllowed = 0;
  platform().SetCursorShown(true);
  ClickPending = 0;
  // The popup menu follows SystemMenuAllowed, so it stays shut on this screen.
}

void TForm1::Kumo_WaitTitleMenu() {
  // The item under the pointer; a click acts on it.
  MenuHover = ItemAt(MousePos);
  if (!ClickPending) return;
  ClickPending = 0;
  switch (MenuHover) {
    case Start: TitleStartGame(); break;
    case Load:
      // The save/load screen's own pictures: its page background and its parts sheet.
      Kumo_ReadGraphic(202, 102, true);
      Kumo_ReadGraphic(203, 103, true);
      ShowSaveLoadScreen(1);
      break;
    case Album: TaskCode = task::AlbumMenuOpen; break;
    case MovieSwitch: SystemVars.Set(kMovieSwitchVar, MovieSwitchOn() ? 0 : -1); break;
    case Quit: Close(); break;
    default: break;
  }
}

void TForm1::TitleStartGame() {
  LoadSystemPictures(false);
  SystemMenuAllowed = 1;
  Kumo_PlayBGM(0, 0, Block->Live.BgmVariant, 0);
  if (platform().MenuChecked(MenuItem::menuFloat)) platform().SetFloatVisible(true);
  Kumo_ClearReturnTbl();
  Kumo_ClearScenarioFlg();
  Kumo_ClearMsgLog();
  FastForward = 0;
  AutoMode = 0;
  NormalPlay = 1;
  WorkVars.Set(101, 0);
  // The script goes on after its title command.
  TaskCode = task::Script;
}

void TForm1::Kumo_DrawTitleMenu() {
  if (TaskCode != task::TitleMenu) return;
  // Hover highlight.
  if (MenuHover >= 1 && MenuHover <= kItemCount)
    CopyOpaque(SurfaceTable[92], FrameSurface, kItemLeft, ItemTop(MenuHover), kItemWidth, kItemHeight, kItemLeft,
               ItemTop(MenuHover));
  // The switch's look wins over its hover highlight.
  if (MovieSwitchOn())
    CopyOpaque(SurfaceTable[92], FrameSurface, kItemLeft, kMovieSwitchY, kItemWidth, kItemHeight, kMovieSwitchSheetX,
               kMovieSwitchY);
}

void TForm1::menuTitleClick() {
  // The dialog's view centres itself on the screen.
  QueryForm->Label1 = u"タイトルに戻りますか？";
  // Refusing leaves the game as it was.
  if (ShowModal(FormId::TQueryForm, QueryForm->ModalResult) != mrOk) return;
  // The title command of script 1 runs next; without one, script 1 runs from its start.
  Kumo_ReadScript(1);
  StepNo = -1;
  for (size_t i = 0; i < ScriptCode.size(); ++i) {
    const ScriptInstruction& ins = ScriptCode[i];
    if (ins.Code == op::SystemFunction && ins.P1 == op::sys::Title) {
      StepNo = static_cast<int32_t>(i) - 1;
      break;
    }
    if (ins.Code == op::End) break;
  }
  TaskCode = task::Script;
}

void TForm1::StartMenuFade(int32_t resumeTaskCode) { StartTransition(kMenuFadeMs, task::Effect91, resumeTaskCode); }

}  // namespace mokuren
