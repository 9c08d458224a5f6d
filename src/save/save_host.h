// What saving and loading may ask of the rest of the engine: the frame a thumbnail is taken from, the
// notice line, the message log, TaskCode, the steps by which the restore task rebuilds a loaded game
// (system pictures, the scene's pictures, music and effects, the script at its step, the fade), and what
// the save/load screen and its comment dialog need (modal forms, system pictures into the screen's
// picture boxes, canvas text, the events file's reports and files). The engine's link implements it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/text_template.h"
#include "platform/platform.h"

namespace mokuren {

class TABitmap;
struct Event;

class SaveHost {
 public:
  // ---- Saving and loading --------------------------------------------------------------------------
  // The last composed frame, from which a slot's thumbnail is taken.
  virtual const TABitmap& Frame() = 0;
  // Puts `text` on the notice line for `ticks` timer ticks of 10 ms, replacing what is there.
  virtual void ShowNotice(const std::u16string& text, int32_t ticks) = 0;
  // An engine text (text/engine_texts.h: a notice, the screen's label) as the player's language shows it.
  virtual std::u16string EngineText(std::u16string_view text) = 0;
  // The player's focus on the save screen moved to what `text` names (an engine text), its blanks filled
  // in from `fields`: read aloud when speech is on. Nothing is read where nothing speaks.
  virtual void SpeakFocus(std::u16string_view text, std::initializer_list<TextField> fields) {}
  // Empties the message log (a quick load).
  virtual void ClearMessageLog() = 0;
  virtual void SetTaskCode(int32_t taskCode) = 0;
  // Asks the player, after SAVE.DAT could not be written at quit, whether to try again (a modal box the
  // events file can answer). False: quit anyway, or the game is being ended meanwhile.
  virtual bool AskToRetrySave() = 0;

  // ---- The restore task, in the order it runs ------------------------------------------------------
  // 1 for normal play, 0 for a scene replay.
  virtual void SetNormalPlay(uint8_t normalPlay) = 0;
  // The standard system pictures, as when a game starts from the title (not the engine-start set).
  virtual void LoadStandardSystemPictures() = 0;
  // The scene's background surface, black and of the frame's size.
  virtual void BlackBackground() = 0;
  // GRAPHIC.DAT entry `entry` into placement 0 (background) or 1-5 (character layers).
  virtual void LoadScenePicture(int32_t placement, int32_t entry) = 0;
  virtual void PlayBgm(int no, int fadeSeconds, int variant, int loop) = 0;
  virtual void PlaySe(int channel, int no, int loop, int fadeSeconds) = 0;
  // Loads script n; the step the record holds is the caller's to keep.
  virtual void ReadScript(int n) = 0;
  // The number of instructions of script n as SCRIPT.DAT holds it, none when it holds no script n (an
  // import is checked against it).
  virtual std::optional<int32_t> ScriptSteps(int n) = 0;
  // Cross-fades to the scene now in the surfaces over `durationMs`: TaskCode becomes `taskCode`, and
  // `resumeTaskCode` when the fade ends.
  virtual void StartTransition(int32_t durationMs, int32_t taskCode, int32_t resumeTaskCode) = 0;

  // ---- The save/load screen and the comment dialog --------------------------------------------------
  // SYSGRP.DAT entry `entry` into one of the screen's picture boxes (placement 202: page background,
  // 203: parts sheet). A missing entry leaves the box as it was.
  virtual void LoadScreenPicture(int32_t placement, int32_t entry) = 0;
  // Canvas text in "ＭＳ ゴシック", bold, black, through the Japanese code page; (x, y) is the cell's top left.
  virtual void DrawCanvasText(TABitmap& target, int32_t x, int32_t y, const std::u16string& text, int32_t height) = 0;
  // Shows a modal form; `then` runs once it is answered (at once, or from a later pass).
  virtual void ShowModal(FormId form, int& modalResult, std::function<void()> then) = 0;
  // Is `form` the modal form in front?
  virtual bool ModalOpen(FormId form) const = 0;
  // An events-file line that could not be done as written, with the reason.
  virtual void ReportEvent(const Event& event, const std::u16string& what) = 0;
  // A file named in the events file, as the engine opens it.
  virtual std::string AutomationFile(const std::string& name) = 0;

 protected:
  ~SaveHost() = default;
};

}  // namespace mokuren
