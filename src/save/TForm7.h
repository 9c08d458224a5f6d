// TForm7: the save/load screen. A borderless modal window laid exactly over the main window's client
// area, showing one of ten pages of ten slots with thumbnail, date and time and a three-line comment,
// marking the newest save. The same screen saves (Tag 0) and loads (Tag 1). The backends' views show
// Image1 and forward mouse presses to Image1MouseDown and key presses to FormKeyDown; everything else
// lives here. The keys: the arrows, Tab and Backtab move a frame between the page's slots (the pointer
// moved onto a slot moves it too), PageUp and PageDown turn the page, Enter saves or loads the framed
// slot, F2 opens its comment, Escape leaves.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/frame.h"
#include "base/keyboard_focus.h"
#include "graphics/ABitmap.h"
#include "platform/platform.h"

namespace mokuren {

class SaveScreenHost;

class TForm7 {
 public:
  static constexpr int kSaveMode = 0;
  static constexpr int kLoadMode = 1;
  // Its SYSGRP.DAT pictures: the saving pages' backgrounds (this + page 1-10), the loading pages' and the
  // sheet of its parts (labels, tabs, the NEW mark, the close area's looks).
  static constexpr int32_t kSavePageBackgrounds = 110;
  static constexpr int32_t kLoadPageBackgrounds = 130;
  static constexpr int32_t kPartsSheetEntry = 121;

  explicit TForm7(SaveScreenHost& host);

  // One caption in both modes: the Tag and the page backgrounds tell them apart.
  std::u16string Caption = u"セーブ";
  int Tag = kSaveMode;
  int CurrentPage = 1;
  TABitmap Image1{kFrameWidth, kFrameHeight};  // the visible page
  TABitmap Image2{kFrameWidth, kFrameHeight};  // the parts sheet (SYSGRP.DAT 121), never shown
  TABitmap Image3{kFrameWidth, kFrameHeight};  // the page background (110 + page, or 130 + page), never shown
  Point CursorPos;                             // last pointer position, client coordinates
  bool Timer1Enabled = false;
  bool Visible = false;
  int ModalResult = 0;

  // Opens the screen: the page of the newest save, its pictures, the hover timer.
  void FormShow();
  // Draws page `page` (1-10) onto Image1.
  void DrawSaveInfo(int page);
  // A press on the screen at client point p: page tabs, the close area, or a slot.
  void Image1MouseDown(MouseButton button, Point p);
  // A key pressed while the screen is in front (each repeat of a held key again); false for a key the
  // screen does not use.
  bool FormKeyDown(Key key);
  // The close area's hover picture, refreshed on every pass while the screen is up (drawn again only when
  // the pointer went on or off it, or the page was drawn over it).
  void Timer1Timer();
  // True once for each change of Image1 since it was last asked: the view then shows it again.
  bool TakePictureChange();
  // Closes the screen (the close area, or a load); the modal loop ends on its next check.
  void Close();

  // The occupied slot among 1-99 with the latest date; the lower number wins a tie; 0 when none.
  int NewestSlot() const;

 private:
  void DrawSlot(int n, int cell, int newest);
  void DrawThumbnail(int n, int32_t x, int32_t y);
  // A left or right press on slot cell `cell` (1-10) of the page.
  void PressCell(MouseButton button, int cell);
  // Shows page `page` with the framed slot kept, and reads it aloud.
  void TurnTo(int page);
  // Frames the focused slot on Image1 (the frame drawn before is taken away), and reads it aloud when
  // it changed.
  void ShowFocus();
  void SpeakCell(int cell);

  // The page as DrawSaveInfo drew it, without the focus frame.
  TABitmap page_{kFrameWidth, kFrameHeight};
  KeyboardFocus focus_;
  int framed_ = 0;  // the cell whose frame is on Image1

  SaveScreenHost& host_;
  // Image1's stamp after the hover picture was drawn, and whether the pointer was on the close area.
  uint64_t hoverDrawn_ = 0;
  bool closeHover_ = false;
  // Image1's stamp when the view was last told to show it.
  uint64_t shown_ = 0;
  // Slots whose thumbnail could not be shown have been reported once; a save through the screen
  // writes a fresh one and clears the mark.
  std::array<bool, 101> thumbnailReported_{};
};

}  // namespace mokuren
