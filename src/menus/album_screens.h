// AlbumScreens: the album the title menu opens. Its menu leads to the event-picture gallery and its
// viewer, the event-scene gallery whose play list the interpreter replays, the music room and the
// opening movie. Every screen is set up and faded in, waits for the player, and draws its highlight
// on the frame while it waits; the main loop's dispatch calls its Kumo_… steps. What is unlocked comes
// from the persisted seen flags and scene flags. It reaches the rest of the engine through its AlbumHost.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "base/keyboard_focus.h"
#include "base/save_block.h"
#include "base/var_bank.h"
#include "menus/album_host.h"
#include "menus/album_tables.h"

namespace mokuren {

class TABitmap;

class AlbumScreens {
 public:
  AlbumScreens(AlbumHost& host, SaveBlock& block)
      : host_(host),
        AlbumBgmNo(block.AlbumBgmNo),
        BgmVariant(block.Live.BgmVariant),
        CgSeenFlags(block.CgSeenFlags),
        SystemVars(block.SystemVarsRaw) {}
  AlbumScreens(const AlbumScreens&) = delete;
  AlbumScreens& operator=(const AlbumScreens&) = delete;

  album::EventPictureTable CgTable{};
  album::EventSceneList SceneList{};
  int32_t Page = 1;  // 1-10, shared by both galleries
  // The event picture on show: its slot on the page and its variant (1-6).
  int32_t Slot = 0;
  int32_t Variant = 1;
  // The item highlighted, refreshed on every pass of a waiting screen: the one the pointer was moved onto
  // or the keys chose. A menu item, gallery slot or music track, album::PreviousPage, NextPage or Back, or 0.
  int32_t Hover = 0;

  // The game's album content (start-up).
  void FillAlbumTables();

  void Kumo_DispAlbumMenu();
  void Kumo_WaitAlbumMenu();
  void Kumo_DrawAlbumMenu();
  void Kumo_DispBgmMenu();
  void Kumo_WaitBgmMenu();
  void Kumo_DrawBgmMenu();
  void Kumo_DispCgMenu();
  void Kumo_WaitCgMenu();
  void Kumo_DrawCgMenu();
  void Kumo_DispCg();
  void Kumo_WaitCg();
  void Kumo_DispEvMenu();
  void Kumo_WaitEvMenu();
  void Kumo_DrawEvMenu();

 private:
  // Takes the click of this pass, if there is one.
  bool TakeClick();
  // The screen is set up: nothing is highlighted, unless a page turn or the picture viewer keeps the item
  // the keys had chosen.
  void ResetFocus();
  // The highlighted item among `items`, read aloud when it changed.
  void UpdateFocus(std::span<const FocusItem> items);
  // The item this pass acts on: a click's (`pointed`, the item under the pointer), Enter's (the highlighted
  // one) or Escape's (`back`); 0 for none. The keys that turn pages give the gallery's page buttons.
  int32_t TakeAction(int32_t pointed, int32_t back, bool pages = false);
  // What the item is called when it is read aloud.
  void SpeakItem(int32_t item);
  // The pictures of a slot of the current page, and whether one has been shown.
  const std::array<int16_t, album::kMaxVariants>& Pictures(int32_t slot) const;
  bool Seen(int16_t entry) const;
  // A picture slot is open once its first picture has been shown.
  bool PictureSlotOpen(int32_t slot) const;
  // The scene of a slot of the current page (album::kNone for none), and whether it is unlocked.
  int16_t SceneAt(int32_t slot) const;
  bool SceneUnlocked(int16_t scene) const;
  // Puts the locked look over a slot of the screen's background.
  void DrawLocked(int32_t slot);
  // A scene's place in the replay list, written in red with a black shadow at the slot's corner.
  void DrawListPosition(TABitmap& target, int32_t slot, int32_t position);
  // The gallery buttons: a page turn sets the page up again (`pageTask`), with the item highlighted kept;
  // back opens the album menu.
  void GalleryButton(int32_t button, int32_t pageTask);
  // The hover frame around a slot or a button's highlighted look, on a gallery page.
  void DrawGalleryHover();

  AlbumHost& host_;
  KeyboardFocus focus_;
  int32_t keptFocus_ = 0;  // chosen again once the next screen is set up (0: none)
  // The persistent fields the album reads and changes, in the save block.
  int32_t& AlbumBgmNo;  // the music-room track; also the title's and the album menu's music
  uint8_t& BgmVariant;  // the saved music variant flag
  const uint8_t (&CgSeenFlags)[kCgSeenCount];
  const VarBank SystemVars;  // the scenes' unlock flags
};

}  // namespace mokuren
