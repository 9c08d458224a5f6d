// What the title menu asks of the rest of the engine: the main loop's TaskCode, the pass's input and play
// modes, the surfaces it draws on, pictures and music, the save/load screen, the confirmation question,
// closing, and the interpreter's part in starting play and in going back to the title. The save block (the
// opening-movie switch, the menu music, the scene's layers and permissions), the platform (the floating
// window, the pointer, the popup menu's check marks) and the error list it is given at construction. The
// engine's link (app/menu_link.h) is the one implementation.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/play_state.h"
#include "base/text_template.h"
#include "base/var_bank.h"

namespace mokuren {

class TABitmap;

class MenuHost {
 public:
  virtual int32_t TaskCode() = 0;
  virtual void SetTaskCode(int32_t taskCode) = 0;
  // The player's input of this pass: the pointer and the click not yet acted on.
  virtual PassInput& Input() = 0;
  // The play modes a new game or a replay starts without.
  virtual PlayModes& Modes() = 0;

  // The screen composed for the next fade, the frame being composed, and the current sheet (the system
  // picture that holds the highlighted looks).
  virtual TABitmap& NextSurface() = 0;
  virtual TABitmap& FrameSurface() = 0;
  virtual const TABitmap& Sheet() = 0;
  // Loads a picture into a placement: 0 the background, 51 the sheet, 202-203 the save/load screen's.
  virtual void LoadPicture(int32_t placement, int32_t entry, bool fromSystem) = 0;
  // The system pictures of play (the message window, its buttons…) in place of a menu's.
  virtual void LoadPlayPictures() = 0;
  // A transition (`effectTask`) from the scene on show to NextSurface over `durationMs`; then TaskCode
  // becomes `resumeTaskCode`.
  virtual void StartTransition(int32_t durationMs, int32_t effectTask, int32_t resumeTaskCode) = 0;
  virtual void PlayBGM(int32_t no, int fadeSeconds, int variant, int loop) = 0;

  // The save/load screen (mode 1 loads).
  virtual void ShowSaveLoadScreen(int mode) = 0;
  // The confirmation dialog with `question` (an engine text, shown in the player's language); `onYes` runs
  // once the player answers OK.
  virtual void Confirm(const std::u16string& question, std::function<void()> onYes) = 0;
  // The main window's close request: the player is asked first.
  virtual void Close() = 0;
  // The player's focus moved to what `text` names (an engine text: base/spoken_texts.h), its blanks filled
  // in from `fields`: read aloud when speech is on.
  virtual void SpeakFocus(std::u16string_view text, std::initializer_list<TextField> fields = {}) = 0;

  // The interpreter's state that a game or a replay starts from.
  virtual VarBank& WorkVars() = 0;
  virtual void ClearReturnTable() = 0;
  virtual void ClearScenarioFlags() = 0;
  virtual void ClearMessageLog() = 0;
  // 1 for a game, 0 for a replay (which cannot save or load).
  virtual void SetNormalPlay(uint8_t normalPlay) = 0;
  // Script 1 loaded with its title command as the next step, or its first when it has none.
  virtual void GoToTitleCommand() = 0;
  // The replay list's first scene loaded to run from its start, the list's cursor on it.
  virtual void LoadFirstReplayScene() = 0;

 protected:
  ~MenuHost() = default;
};

}  // namespace mokuren
