// The title menu: set-up, waiting for the player's choice, the highlight, and the way back to it from
// a running game.
#include "menus/title_menu.h"

#include <cstdio>

#include "app/TForm1.h"
#include "dialogs/TQueryForm.h"
#include "graphics/ABitmapFilters32.h"
#include "script/opcodes.h"
#include "base/text_codec.h"

namespace mokuren {

using namespace title_menu;

bool TForm1::MovieSwitchOn() { return SystemVars.Get(kMovieSwitchVar) != 0; }

void TForm1::Kumo_DispTitleMenu() {
  // The album music, or the default track when none is set.
  if (AlbumBgmNo == 0) AlbumBgmNo = kDefaultMusic;
  Kumo_PlayBGM(AlbumBgmNo, 1, Block->Live.BgmVariant, 1);
  LoadMenuScreen(kBackgroundEntry, kSheetEntry);
  // Starting the fade may compose NextSurface afresh, so the switch's look goes on after it; the
  // fade's first step is on the next pass.
  StartMenuFade(task::TitleMenu);
  // A movie switch that is on shows its on look.
  if (MovieSwitchOn())
    CopyOpaque(SurfaceTable[92], NextSurface, kItemLeft, kMovieSwitchY, kItemWidth, kItemHeight, kMovieSwitchSheetX,
               kMovieSwitchY);
  // No click carried over.
  ClickPending = 0;
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
    case title_menu::Album: TaskCode = task::AlbumMenuOpen; break;
    case MovieSwitch: SystemVars.Set(kMovieSwitchVar, MovieSwitchOn() ? 0 : -1); break;
    case Quit: Close(); break;
    default: break;
  }
}

void TForm1::TitleStartGame() {
  BeginPlay(1);
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
  if (ShowModal(FormId::TQueryForm, QueryForm->ModalResult) == mrOk) ReturnToTitle();
}

void TForm1::ReturnToTitle() {
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

void TForm1::LeaveUnknownTask() {
  char code[16];
  std::snprintf(code, sizeof code, "%X", static_cast<uint32_t>(TaskCode));
  ReportError(u"TaskCode 0x" + FromUtf8(code) + u" belongs to no task; back to the title");
  ReturnToTitle();
}

}  // namespace mokuren
