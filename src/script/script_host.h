// What the script machine may ask of the rest of the engine: everything an instruction does outside the
// script's own state (its code, step, variables, calls, read marks and scene table) goes through here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/play_state.h"

namespace mokuren {

class ScriptHost {
 public:
  // ---- The main loop ----
  // The task the next passes run (task_codes.h); an instruction that yields sets it.
  virtual void SetTaskCode(int32_t code) = 0;
  // Milliseconds on the wrapping 32-bit clock the waits count on.
  virtual uint32_t Now() = 0;

  // ---- The player's input and the play modes ----
  virtual PassInput& Input() = 0;
  virtual PlayModes& Modes() = 0;
  // Forgets the keys and the mouse buttons pressed before a message or choice.
  virtual void ClearKeys() = 0;
  virtual void ClearMouseButtons() = 0;

  // ---- Archives ----
  // Copies SCRIPT.DAT entry `entry` into `bytes`: 0 when bytes were copied, -1 for an empty entry.
  virtual int ReadScriptEntry(int entry, std::vector<uint8_t>& bytes) = 0;
  // Whether SCRIPT.DAT's index gives entry `entry` no bytes at all.
  virtual bool ScriptEntryListedEmpty(int entry) = 0;
  // The GRAPHIC.DAT entry of a picture by name (1 or more), 0 when the name is not listed.
  virtual int32_t PictureEntry(const std::u16string& name) = 0;

  // ---- The scene ----
  // Records the scene's background: GRAPHIC.DAT entry `entry`, 0 for black.
  virtual void NoteBackground(int32_t entry) = 0;
  // Paints the background's surface black over the whole frame.
  virtual void BlackBackground() = 0;
  // Records layer `layer` (1-5) of the scene: its picture, opaque, at y 0 and at x `x` (none: the x it had).
  virtual void PlaceLayer(int layer, int32_t entry, std::optional<int32_t> x) = 0;
  // Loads GRAPHIC.DAT entry `entry` into placement `placement` (0 background, 1-5 layers).
  virtual void LoadPicture(int32_t placement, int32_t entry) = 0;
  // Starts the scenario's cross-fade to the composed scene (it ends in the script task).
  virtual void CrossFadeIn() = 0;
  virtual void StartOpeningMovie() = 0;

  // ---- Sound ----
  // Music `no` (0 stops it), looping when `loop` is not 0, faded over `fadeSeconds`.
  virtual void PlayMusic(int no, int fadeSeconds, int loop) = 0;
  // Effect `no` at position 1-3.
  virtual void PlayEffect(int position, int no, int loop, int fadeSeconds) = 0;
  // The voice file `path`, repeating when `repeat` is not 0.
  virtual void PlayVoice(const std::u16string& path, int repeat) = 0;
  // Looks for the voice file `path` of a message passed over without its voice, telling the error list
  // when it is missing, so that a skip does not hide it.
  virtual void CheckVoice(const std::u16string& path) = 0;
  virtual void StopVoice() = 0;
  // Stops the voice unless it is a repeating voice that keeps playing into the following messages.
  virtual void StopVoiceUnlessLooping() = 0;
  // The repeating voice no longer carries on into the following messages.
  virtual void EndVoiceLoop() = 0;
  // The on-screen voice button is no longer "on" (the voice it replayed belongs to a message left behind).
  virtual void ReleaseVoiceButton() = 0;

  // ---- The message window ----
  // The message on screen is line `message` of the script's messages with voice `voice` (-1 none); a
  // repeating voice keeps playing into the following messages.
  virtual void NoteMessage(int32_t message, int32_t voice, bool repeatVoice) = 0;
  // The choice on screen is line `message`; its voice `voice` is kept for the voice button.
  virtual void NoteChoice(int32_t message, int32_t voice) = 0;
  // Lays out the message's text, and tells the text hook and speech of it. Returns what of the text the
  // window cannot show, past its three lines (empty when it all fits).
  virtual std::u16string LayOutMessage(const std::u16string& text) = 0;
  virtual void AnnounceMessage(const std::u16string& text) = 0;
  // The message window shows the message (not a choice, not the log), typed from its first character.
  virtual void OpenMessageWindow() = 0;
  // Lays out the choices of a choice text, and tells the text hook and speech of them. Returns how many
  // items it shows.
  virtual int32_t LayOutChoices(const std::u16string& text) = 0;
  virtual void AnnounceChoices() = 0;
  // The choices replace the message window on screen.
  virtual void ShowChoices() = 0;
  // The dismissed message's empty window frame leaves the screen.
  virtual void DropMessageFrame() = 0;

  // ---- The rest of the screen ----
  virtual void ShowCursor(bool shown) = 0;
  // Whether the popup menu and the on-screen buttons, and the skip modes, may be used.
  virtual void AllowSystemMenu(bool allowed) = 0;
  virtual void AllowSkip(bool allowed) = 0;
  // Opens the hero's name dialog (accepting a name sets the script task again).
  virtual void OpenNameEntry() = 0;
  virtual void HideFloatingWindow() = 0;
  // The album's music, which the scene gallery plays again when a replay ends.
  virtual void PlayGalleryMusic() = 0;

 protected:
  ~ScriptHost() = default;
};

}  // namespace mokuren
