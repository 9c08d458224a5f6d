// What the backends' windows may call in the engine: the main window's handlers, and the state of each
// form that a view shows. TForm1 is the one implementation; a view sees nothing else of the engine.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace mokuren {

class TQueryForm;
class TForm7;
class TCommentForm;
class TMsgForm;
class TNameForm;
class TConfigForm;
class TDebugForm;

class WindowHost {
 public:
  // The main window's handlers.
  virtual void FormMouseDown(MouseButton button, Point client) = 0;
  virtual void FormMouseWheelUp() = 0;
  virtual void FormMouseWheelDown() = 0;
  // The window's close button: the engine asks the player first and ends its loop when confirmed.
  virtual void Close() = 0;
  // The popup menu: about to open (items brought up to date), and an item chosen.
  virtual void PopupMenu1Popup() = 0;
  virtual void MenuClick(MenuItem item) = 0;
  // The places of the frame a gamepad's d-pad jumps the pointer between: the centres of the choice
  // bands while a choice waits, of the title menu's rows while it waits; none otherwise.
  virtual std::vector<Point> PointerStops() = 0;
  // A press on the save/load screen (TForm7::Image1MouseDown) and on the floating message window
  // (TMsgForm::FormMouseDown, whose answer is returned: true starts a drag), through the engine so that
  // a recording keeps them.
  virtual void SaveLoadMouseDown(MouseButton button, Point client) = 0;
  virtual bool FloatMouseDown(MouseButton button, Point client) = 0;
  // The player's focus in a view moved to a control or a menu item whose text (as the player reads it) is
  // `text`: read aloud when speech is on.
  virtual void SpeakShown(const std::u16string& text) = 0;
  // Whether the game reads aloud, and the settings dialog's switch for it (kept for the next start).
  virtual bool SpeechOn() = 0;
  virtual void SetSpeechOn(bool on) = 0;

  // The forms whose views the backends show.
  virtual TQueryForm& GetQueryForm() = 0;
  virtual TForm7& GetSaveLoadForm() = 0;
  virtual TCommentForm& GetCommentForm() = 0;
  virtual TMsgForm& GetMsgForm() = 0;
  virtual TNameForm& GetNameForm() = 0;
  virtual TConfigForm& GetConfigForm() = 0;
  virtual TDebugForm& GetDebugForm() = 0;

 protected:
  ~WindowHost() = default;
};

}  // namespace mokuren
