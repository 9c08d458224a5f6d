// What the save/load screen (TForm7) may use of the engine: the saved games, saving and loading a slot,
// the system pictures, slot thumbnails, canvas text, the pointer, the comment dialog and the error list.
// SaveData (save_data.h) implements it for the engine.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/text_template.h"
#include "platform/platform.h"

namespace mokuren {

class TABitmap;
struct SaveBlock;

class SaveScreenHost {
 public:
  virtual const SaveBlock& SavedGames() const = 0;
  // Save to / load from slot n as the save-file operations do; false when nothing was saved or loaded.
  virtual bool SaveGame(int n) = 0;
  virtual bool LoadGame(int n) = 0;
  // SYSGRP.DAT entry `entry` into one of the screen's picture boxes (placement 202: page background,
  // 203: parts sheet). A missing entry leaves the box as it was.
  virtual void LoadScreenPicture(int32_t placement, int32_t entry) = 0;
  // Slot n's thumbnail; false with `error` saying why when it is missing or not a usable bitmap.
  virtual bool ReadThumbnail(int n, TABitmap& image, std::string& error) = 0;
  // Canvas text in "ＭＳ ゴシック", bold, black, through the Japanese code page; (x, y) is the cell's top left.
  // The text is drawn as given: a slot's comment is the player's own, whatever it says.
  virtual void DrawScreenText(TABitmap& target, int32_t x, int32_t y, const std::u16string& text, int32_t height) = 0;
  // One of the screen's own labels ("通常セーブ不可") in the player's language.
  virtual std::u16string ScreenLabel(const std::u16string& original) = 0;
  // The pointer in the screen's client coordinates (the screen lies exactly over the main window).
  virtual Point ScreenCursorPos() = 0;
  // Shows the comment dialog for slot n modally; `then` runs once it is answered.
  virtual void EditComment(int n, std::function<void()> then) = 0;
  // A line for the error list: an engine text (base/error_texts.h) and what fills its blanks.
  virtual void ReportScreenError(std::u16string_view text, std::initializer_list<TextField> fields) = 0;
  // The player's focus moved to what `text` names (an engine text: base/spoken_texts.h), its blanks filled
  // in from `fields`: read aloud when speech is on. Nothing is read where nothing speaks.
  virtual void SpeakFocus(std::u16string_view text, std::initializer_list<TextField> fields) {}

 protected:
  ~SaveScreenHost() = default;
};

}  // namespace mokuren
