// What the message window may ask of the rest of the engine: the task of the main loop, the pictures it
// draws on and from, the script's number, texts and voices, the voice itself and its button, debug mode, the
// choice's answer and the modal name dialog. Everything else it needs (the platform, the error list, the
// settings in the save block, the fonts) it is handed when it is made.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace mokuren {

class TABitmap;
class TNameForm;

class MessageHost {
 public:
  // The main loop's task code (base/task_codes.h).
  virtual int32_t TaskCode() = 0;
  virtual void SetTaskCode(int32_t code) = 0;

  // The main window's frame, and the floating message window's picture.
  virtual TABitmap& Frame() = 0;
  virtual TABitmap& FloatFrame() = 0;
  // The message's text layer and its shadow layer, which the window renders a message into.
  virtual TABitmap& MessageTextLayer() = 0;
  virtual TABitmap& MessageShadowLayer() = 0;
  // The message window's frame picture, drawn under the text.
  virtual TABitmap& MessageFrame() = 0;
  // The current sheet of system pictures (the waiting icon's eight frames).
  virtual TABitmap& SystemSheet() = 0;
  // The band under a choice, plain or highlighted.
  virtual TABitmap& ChoicePlate(bool highlighted) = 0;
  // The text layer and the shadow layer of choice 1-9.
  virtual TABitmap& ChoiceTextLayer(int32_t choice) = 0;
  virtual TABitmap& ChoiceShadowLayer(int32_t choice) = 0;

  // The number of the loaded script, which names its texts in a translation.
  virtual int32_t ScriptNumber() = 0;
  // The loaded script's message texts, which the log and a return from it take the raw text from.
  virtual const std::vector<std::u16string>& MessageTexts() = 0;
  // The voice file of line `voice` of the script's voice names; empty when the list holds no such line.
  virtual std::u16string VoiceFile(int32_t voice) = 0;
  // The script reads the number of the choice taken (1-9).
  virtual void StoreChoice(int16_t number) = 0;

  // The voice: played once (repeat 0) or repeating, an empty path stopping it; or stopped.
  virtual void PlayVoice(const std::u16string& path, int32_t repeat) = 0;
  virtual void StopVoice() = 0;
  // The voice-replay button: disabled and not lit once a message is passed; no longer lit when the log
  // view is left.
  virtual void DisableVoiceButton() = 0;
  virtual void UnlightVoiceButton() = 0;

  // Debug mode, where Ctrl fast-forwards.
  virtual bool DebugMode() = 0;

  // A message began to wait for the player: the frames from now on count from this moment (a frame now,
  // then one every 33 1/3 ms), so that what they show of the waiting icon depends only on how long the
  // message has waited.
  virtual void StartFramesNow() = 0;

  // The hero's name dialog, shown modally while the main loop runs on until it is answered.
  virtual TNameForm& NameForm() = 0;
  virtual int ShowModal(FormId form, int& modalResult) = 0;

 protected:
  ~MessageHost() = default;
};

}  // namespace mokuren
