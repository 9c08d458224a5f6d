// AlbumScreens: the album the title menu opens. Its menu leads to the event-picture gallery and its
// viewer, the event-scene gallery whose play list the interpreter replays, the music room and the
// opening movie. Every screen is set up and faded in, waits for the player, and draws its highlight
// on the frame while it waits; the engine's Kumo_…Album/Bgm/Cg/Ev… methods forward here. What is
// unlocked comes from the persisted seen flags and scene flags.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "app/engine_state.h"
#include "menus/album_tables.h"
#include "platform/platform.h"

namespace mokuren {

class TABitmap;

// What the album reads and changes in the engine, and what it asks the engine to do.
struct AlbumLinks {
  int32_t& TaskCode;
  uint8_t& ClickPending;
  const Point& MousePos;
  int32_t& AlbumBgmNo;  // the music-room track; also the title's and the album menu's music
  uint8_t& BgmVariant;  // the saved music variant flag
  const uint8_t (&CgSeenFlags)[kCgSeenCount];
  const VarBank& SystemVars;  // the scenes' unlock flags
  // The screen's background before it is composed (the scene's background slot), the current sheet,
  // the scene on show and the frame being composed.
  TABitmap& Background;
  const TABitmap& Sheet;
  TABitmap& DisplaySurface;
  TABitmap& FrameSurface;

  // Loads a screen's two system pictures, with no character layers, the pointer shown and the popup
  // menu shut.
  std::function<void(int32_t background, int32_t sheet)> LoadMenuScreen;
  // GRAPHIC.DAT `entry` as the background (black when the archive lacks it); showing it marks it seen.
  std::function<void(int32_t entry)> LoadEventPicture;
  // Composes the screen and fades it in over 500 ms; then TaskCode becomes resumeTaskCode.
  std::function<void(int32_t resumeTaskCode)> FadeInScreen;
  // Canvas text in "ＭＳ ゴシック" on a transparent background; (x, y) is the cell's top left.
  std::function<void(TABitmap& target, int32_t x, int32_t y, const std::u16string& text, int32_t height, uint8_t red,
                     uint8_t green, uint8_t blue)>
      TextOut;
  std::function<void(int32_t no, int fadeSeconds, int variant, int loop)> PlayBGM;
  // The track heard now, 0 when no music plays.
  std::function<int32_t()> TrackPlaying;
  // The replay list: add a scene (its position, -1 when listed already, 0 when full), find one, empty it.
  std::function<int32_t(int32_t scene)> AddSceneTbl;
  std::function<int32_t(int32_t scene)> GetSceneTbl;
  std::function<void()> ClearSceneTbl;
  // Plays the listed scenes in order; after the last the interpreter opens the scene gallery again.
  std::function<void()> StartSceneReplay;
  // Stops the music and plays the opening movie; its wait opens the album menu again.
  std::function<void()> StartAlbumMovie;
};

class AlbumScreens {
 public:
  explicit AlbumScreens(AlbumLinks links) : links_(std::move(links)) {}

  album::EventPictureTable CgTable{};
  album::EventSceneList SceneList{};
  int32_t Page = 1;  // 1-10, shared by both galleries
  // The event picture on show: its slot on the page and its variant (1-6).
  int32_t Slot = 0;
  int32_t Variant = 1;
  // The item under the pointer, refreshed on every pass of a waiting screen: a menu item, gallery slot
  // or music track, album::PreviousPage, NextPage or Back, or 0.
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
  // The gallery buttons: a page turn sets the page up again (`pageTask`), back opens the album menu.
  void GalleryButton(int32_t button, int32_t pageTask);
  // The hover frame around a slot or a button's highlighted look, on a gallery page.
  void DrawGalleryHover();

  AlbumLinks links_;
};

}  // namespace mokuren
