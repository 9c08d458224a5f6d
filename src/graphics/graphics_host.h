// What the pictures and the on-screen buttons may ask of the rest of the engine: archive entries, the main
// loop's task, the pass's input and play modes, the message window, what a pressed button does, the
// save/load screen's picture boxes and where automation files go. One implementation lives in src/app.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/archive_kind.h"
#include "base/play_state.h"

namespace mokuren {

class TABitmap;

class GraphicsHost {
 public:
  // Entry `entry` of archive `kind` into `bytes`, as the archives read it: 0 when read, -1 when the entry
  // is empty or out of range, -2 when it cannot be read (the archives then told why); bytes are then empty.
  virtual int ReadArchiveEntry(ArchiveKind kind, int32_t entry, std::vector<uint8_t>& bytes) = 0;

  // The main loop's task: the transitions end by setting it, the buttons work only in the message wait.
  virtual int32_t TaskCode() = 0;
  virtual void SetTaskCode(int32_t code) = 0;

  // This pass's input: the pointer over each window, and a pending click that a hovered button uses up.
  virtual PassInput& Input() = 0;
  // The play modes: fast-forward shortens a scenario fade; read-skip and auto light their buttons.
  virtual const PlayModes& Modes() = 0;

  // Whether the message window is on screen, which the button row belongs to.
  virtual bool MessageWindowShown() = 0;
  // Whether the voice button has a voice to play again: the message's own, or the viewed log entry's.
  virtual bool HasVoiceToReplay() = 0;
  // Whether a voice is heard now (the voice button is lit while the voice it started plays).
  virtual bool VoicePlaying() = 0;
  // Does what a click on on-screen button `button` (button::MusicVariant … button::Auto) means. The
  // button's look is the caller's; only the action is asked for.
  virtual void PressButton(int button) = 0;
  // The player's focus moved to what `text` names (an engine text: base/spoken_texts.h): read aloud when
  // speech is on.
  virtual void SpeakFocus(std::u16string_view text) {}

  // The save/load screen's picture box that placement `placement` (201-203) loads into: 203 the parts
  // sheet, 201 and 202 the page background. Null when there is none; the picture is then discarded.
  virtual TABitmap* SaveScreenPictureBox(int32_t placement) = 0;

  // Where a file the events file names is written (relative names are taken from the directory the
  // program was started in).
  virtual std::string AutomationFile(const std::string& name) = 0;

 protected:
  ~GraphicsHost() = default;
};

}  // namespace mokuren
