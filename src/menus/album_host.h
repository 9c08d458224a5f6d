// What the album's screens ask of the rest of the engine: the main loop's TaskCode, the pass's input, the
// surfaces they draw on, the screens' pictures and fade, canvas text, music, the replay list and the
// opening movie. The persistent fields they read and change (the music room's track and version, the
// pictures' seen flags, the scenes' unlock flags) they bind from the save block they are given. The
// engine's link (app/album_link.h) is the one implementation.
#pragma once

#include <cstdint>
#include <string>

#include "base/play_state.h"
#include "base/text_template.h"

namespace mokuren {

class TABitmap;

class AlbumHost {
 public:
  virtual int32_t TaskCode() = 0;
  virtual void SetTaskCode(int32_t taskCode) = 0;
  // The player's input of this pass: the pointer and the click not yet acted on.
  virtual PassInput& Input() = 0;
  // The screen's background before it is composed (the scene's background slot), the current sheet,
  // the scene on show and the frame being composed.
  virtual TABitmap& Background() = 0;
  virtual const TABitmap& Sheet() = 0;
  virtual TABitmap& DisplaySurface() = 0;
  virtual TABitmap& FrameSurface() = 0;

  // Loads a screen's two system pictures, with no character layers, the pointer shown and the popup
  // menu shut.
  virtual void LoadMenuScreen(int32_t background, int32_t sheet) = 0;
  // GRAPHIC.DAT `entry` as the background (black when the archive lacks it); showing it marks it seen.
  virtual void LoadEventPicture(int32_t entry) = 0;
  // Composes the screen and fades it in over 500 ms; then TaskCode becomes resumeTaskCode.
  virtual void FadeInScreen(int32_t resumeTaskCode) = 0;
  // Canvas text in "ＭＳ ゴシック" on a transparent background; (x, y) is the cell's top left.
  virtual void TextOut(TABitmap& target, int32_t x, int32_t y, const std::u16string& text, int32_t height, uint8_t red,
                       uint8_t green, uint8_t blue) = 0;
  virtual void PlayBGM(int32_t no, int fadeSeconds, int variant, int loop) = 0;
  // The track heard now, 0 when no music plays.
  virtual int32_t TrackPlaying() = 0;
  // The replay list: add a scene (its position, -1 when listed already, 0 when full), find one, empty it.
  virtual int32_t AddSceneTbl(int32_t scene) = 0;
  virtual int32_t GetSceneTbl(int32_t scene) = 0;
  virtual void ClearSceneTbl() = 0;
  // Plays the listed scenes in order; after the last the interpreter opens the scene gallery again.
  virtual void StartSceneReplay() = 0;
  // Stops the music and plays the opening movie; its wait opens the album menu again.
  virtual void StartAlbumMovie() = 0;
  // The player's focus moved to what `text` names (an engine text: base/spoken_texts.h), its blanks filled
  // in from `fields`: read aloud when speech is on.
  virtual void SpeakFocus(std::u16string_view text, std::initializer_list<TextField> fields = {}) = 0;

 protected:
  ~AlbumHost() = default;
};

}  // namespace mokuren
