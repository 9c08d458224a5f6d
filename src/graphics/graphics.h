// The game's pictures: the named surfaces and the surface table, image loading into them, the scene's
// composition and the cross-fades that bring it on screen, the message window's frame and the row of
// on-screen buttons. It reaches the rest of the engine through GraphicsHost.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/buttons.h"
#include "base/frame.h"
#include "base/keyboard_focus.h"
#include "base/save_block.h"
#include "graphics/ABitmap.h"
#include "graphics/decode_ahead.h"
#include "graphics/graphics_host.h"
#include "graphics/picture_replacements.h"
#include "graphics/png_decoder.h"

namespace mokuren {

class ErrorList;
class Platform;

class Graphics {
 public:
  // The scene's persistent fields are bound to `block`, which must outlive this object.
  Graphics(GraphicsHost& host, Platform& platform, ErrorList& errors, SaveBlock& block);
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  // ---- Surfaces ----------------------------------------------------------------------------------------
  // The scene being faded in, the scene on screen, the composed frame of the main window and the floating
  // message window's picture.
  TABitmap NextSurface{kFrameWidth, kFrameHeight};
  TABitmap DisplaySurface{kFrameWidth, kFrameHeight};
  TABitmap FrameSurface{kFrameWidth, kFrameHeight};
  TABitmap FloatSurface{kFrameWidth, kMessageWindowHeight};
  std::array<TABitmap, 93> SurfaceTable;

  // Creates the named surfaces and the SurfaceTable slots with their creation sizes.
  void CreateSurfaces();

  // ---- The scene (persistent: references into the SaveBlock) --------------------------------------------
  int32_t& BackgroundNo;
  int32_t (&LayerImage)[5];
  LayerPosition (&LayerPos)[5];
  int32_t (&LayerOpacity)[5];
  uint8_t (&CgSeenFlags)[kCgSeenCount];
  uint8_t& EffectsOn;

  // ---- Image loading -----------------------------------------------------------------------------------
  // Loads the standard system pictures (system_pictures.h). At engine start it also fills the floating
  // window's background (slot 7) and the button pictures; play restarting from the title or a scene replay
  // passes false. Returns the entries that did not load (empty, unreadable or not a usable PNG).
  std::vector<int32_t> LoadSystemPictures(bool engineStart = true);
  // Decodes image `entry` of SYSGRP.DAT (fromSystem) or GRAPHIC.DAT and puts it where `placement` says.
  // False when there was nothing to load: the entry is empty, unreadable or not a usable PNG.
  bool Kumo_ReadGraphic(int32_t placement, int32_t entry, bool fromSystem);
  // SYSGRP.DAT pictures decoded on a second thread ahead of their loading (start-up's first pictures).
  DecodeAhead SystemPicturesAhead;
  // The pictures of the translation being played, shown in place of the game's own.
  void UsePictureReplacements(PictureReplacements replacements) { replacements_ = std::move(replacements); }

  // ---- Composition and transitions ---------------------------------------------------------------------
  // Composes background (slot 0) and layers 5..1 into NextSurface.
  void Kumo_CreateNextImage();
  // Starts a cross-fade to the scene in slots 0-5: composes NextSurface, records the start tick and sets
  // TaskCode to `taskCode` (task::Effect01: scenario, 1000 ms; task::Effect91: menus and restore, 500 ms,
  // ending in `resumeTaskCode`).
  void StartTransition(int32_t durationMs, int32_t taskCode, int32_t resumeTaskCode = 0);
  void Kumo_DispEffect_01();
  void Kumo_DispEffect_91();
  // Transition state, shared by both effect tasks.
  uint32_t TransitionStart = 0;
  int32_t TransitionDuration = 0;
  int32_t TransitionEnd = 0;
  // The task a menu or restore fade (task::Effect91) ends in.
  int32_t ResumeTaskCode = 0;

  // Blends the message window frame (slot 6) onto FrameSurface at the message window's top left (frame
  // step, after a message).
  void DrawMessageFrame();

  // ---- On-screen buttons -------------------------------------------------------------------------------
  // The row of ten buttons along the message window; both work only while a message waits.
  void Kumo_CheckButton();
  void Kumo_DrawButton();
  // Switches the on-screen buttons on (start-up; nothing switches them off).
  void EnableButtons();
  void SetButtonStates(const std::array<int32_t, button::Count>& states);
  uint8_t ButtonsEnabled = 0;
  // Per button 1..10 (index k - 1): -1 hidden, 0 normal, 1 hover, 2 on, 3 on and hover, 4 disabled; the
  // button's function is active; a click is waiting to be handled.
  std::array<int32_t, button::Count> ButtonState{};
  std::array<uint8_t, button::Count> ButtonOn{};
  std::array<uint8_t, button::Count> ButtonLatch{};

  // ---- Screenshots -------------------------------------------------------------------------------------
  // Writes FrameSurface (float = false) or FloatSurface as a PNG file named as the events file names it;
  // false with an error reported.
  bool SaveScreenshot(const std::string& file, bool floatWindow);

 private:
  // One step of a cross-fade at tick `now`; true when the transition has ended.
  bool CrossFadeStep(uint32_t now);
  // The picture of entry `entry` as the archive holds it, decoded (or taken from those decoded ahead).
  bool ReadPicture(bool fromSystem, int32_t entry, PngImage& image);
  // Puts the translation's picture `file` in place of `image`, the original, when it can be used: the same
  // size, its transparency taken from the original's (below). One that cannot is reported and not tried
  // again, and the original stays.
  void Replace(bool fromSystem, int32_t entry, const std::filesystem::path& file, PngImage& image);

  PictureReplacements replacements_;

  GraphicsHost& host_;
  Platform& platform_;
  ErrorList& errors_;
  // The button row's focus: the button the keys or the moved pointer chose, while the row is shown, and
  // the button a key pressed last.
  KeyboardFocus rowFocus_;
  bool rowShown_ = false;
  int32_t lastKeyed_ = 0;
};

}  // namespace mokuren
