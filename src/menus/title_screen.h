// TitleMenu: the title screen (layout in title_menu.h) and the ways into and out of play around it. It
// sets the screen up and fades it in, waits for the player's choice, draws the highlight; it starts a new
// game, goes back to the title from a running one (the popup menu, or a TaskCode no task answers to), and
// keeps what the album's screens share with it: loading a menu screen, its fade, and a replay of the
// album's scenes. It reaches the rest of the engine through its MenuHost.
#pragma once

#include <cstdint>

#include "base/error_list.h"
#include "base/keyboard_focus.h"
#include "base/save_block.h"
#include "base/var_bank.h"
#include "menus/menu_host.h"
#include "platform/platform.h"

namespace mokuren {

class TitleMenu {
 public:
  TitleMenu(MenuHost& host, SaveBlock& block, Platform& platform, ErrorList& errors);
  TitleMenu(const TitleMenu&) = delete;
  TitleMenu& operator=(const TitleMenu&) = delete;

  // The item highlighted on the title menu, 0 = none: the one the pointer was moved onto or the keys
  // chose; recomputed on every pass.
  int32_t MenuHover = 0;

  void Kumo_DispTitleMenu();
  void Kumo_WaitTitleMenu();
  void Kumo_DrawTitleMenu();
  // The title menu's start item: play (re)starts after the script's title command.
  void TitleStartGame();
  // Is the opening-movie switch on (the scripts then skip the opening movie)?
  bool MovieSwitchOn() const;
  // The popup menu's "タイトルに戻る": asks first.
  void menuTitleClick();
  // Script 1 runs its title command next (or runs from its start when it has none).
  void ReturnToTitle();
  // A TaskCode that no task answers to (a damaged save or script) is reported and the game goes back to
  // the title, instead of sitting still.
  void LeaveUnknownTask();

  // ---- What the album's screens share ----
  // Loads a menu screen's system pictures: `background` as the scene's background with no character
  // layers, `sheet` as the current sheet. The screen is the main window's alone, with the pointer shown
  // and the popup menu shut, whatever the scene played before it left them as.
  void LoadMenuScreen(int32_t background, int32_t sheet);
  // Fades to the screen just composed in NextSurface over 500 ms, then TaskCode = resumeTaskCode.
  void StartMenuFade(int32_t resumeTaskCode);
  // What a new game and a scene replay share when play starts from a menu: the standard system pictures,
  // no music, the floating window back if its item is checked, empty return table, scenario flags and
  // message log, no skip or auto mode. NormalPlay is 1 for a game and 0 for a replay.
  void BeginPlay(uint8_t normalPlay);
  // Plays the scenes of the replay list from its first; the end of each scene's script runs the next.
  void StartSceneReplay();

 private:
  // Reads the item aloud, with the opening-movie switch's state.
  void SpeakItem(int32_t item);

  MenuHost& host_;
  Platform& platform_;
  KeyboardFocus focus_;
  ErrorList& errors_;
  // The persistent fields the menus read and reset, in the save block.
  VarBank SystemVars;  // S451 is the opening-movie switch
  int32_t& AlbumBgmNo;
  uint8_t& BgmVariant;
  int32_t (&LayerImage)[5];
  uint8_t& CursorShown;
  uint8_t& SystemMenuAllowed;
};

}  // namespace mokuren
