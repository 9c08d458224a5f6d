// The engine's only window onto the machine: clock, windows, input, menus, dialogs and cursor.
// The Qt backend serves players; the headless backend serves tests and automation with a virtual clock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/geometry.h"

namespace mokuren {

class TABitmap;
class WindowHost;
struct Event;

// Keys the engine samples once per pass. Escape also opens the popup menu in a backend with real widgets
// (and backs out of it, a dialog or the save screen); the arrows, Tab and Backtab (Shift+Tab) move between
// what can be chosen on a screen (the title's items, a choice's lines, the album's, the button row, the
// save screen's slots).
enum class Key : uint8_t {
  Enter,
  Space,
  PageUp,
  PageDown,
  F1,
  F2,
  Ctrl,
  Escape,
  Up,
  Down,
  Left,
  Right,
  Tab,
  Backtab,
  Count
};
// The key's name in the events file ("Enter", "PageUp", …), and the key of a name.
std::string_view KeyName(Key key);
std::optional<Key> KeyByName(std::string_view name);

// Windows the engine can tell apart when it asks which one is in front.
enum class WindowId : uint8_t { Other, Main, Float, SaveLoad };

enum class MouseButton : uint8_t { Left, Right, Middle };

// Items of the main window's popup menu, in menu order (separators not counted).
enum class MenuItem : uint8_t {
  menuKSkip,
  menuSSkip,
  menuAuto,
  menuWindow,
  menuFloat,
  menuSave,
  menuLoad,
  menuConfig,
  menuTitle,
  menuQuit,
  Count
};
// The item's component name ("menuKSkip", …), as the events file names it, and the item of a name.
std::string_view MenuItemName(MenuItem item);
std::optional<MenuItem> MenuItemByName(std::string_view name);

// The modal windows; the core keeps their state, the backend shows a view of it.
enum class FormId : uint8_t { TNameForm, TCommentForm, TQueryForm, TConfigForm, TDebugForm, TMsgForm, TForm7 };

class Platform {
 public:
  virtual ~Platform() = default;

  // Called once the engine exists; the backend forwards window events to its handlers from then on.
  virtual void Attach(WindowHost& host) = 0;
  // Shows the main window (the end of start-up).
  virtual void ShowMainWindow() = 0;
  virtual bool Headless() const = 0;

  // Clock: milliseconds on a 32-bit counter that wraps around, like the system tick count.
  virtual uint32_t TickCount() = 0;
  virtual void Sleep(uint32_t ms) = 0;
  // Delivers pending window events to the engine's handlers.
  virtual void ProcessMessages() = 0;
  // The rest at the end of a pass: `ms` milliseconds in which window events reach the engine, as Sleep
  // then ProcessMessages do. When the engine has nothing to do before `quietUntil` (a tick of this clock,
  // its next frame) unless input comes, a backend that wakes on input may rest on until then, ending the
  // rest when any event arrives. Returns the milliseconds rested.
  virtual uint32_t Rest(uint32_t ms, std::optional<uint32_t> quietUntil) {
    Sleep(ms);
    ProcessMessages();
    return ms;
  }

  // Input, sampled by the engine once per pass. A key counts as down when it is held now or was pressed
  // since the engine last asked about it, so a tap between two passes acts once.
  virtual bool KeyDown(Key key) = 0;
  // One press of the key not yet taken: every press, and every repeat of the keyboard while the key is
  // held, is taken once (the keys that move between items).
  virtual bool KeyPressed(Key key) = 0;
  virtual WindowId Foreground() = 0;
  virtual Point CursorPos(WindowId client) = 0;  // in client coordinates of that window

  // Input injected by the events file. The headless backend keeps it as its input state; the Qt backend
  // routes it through its widgets.
  virtual void InjectKey(Key key, bool down) = 0;
  virtual void InjectCursor(WindowId window, Point p) = 0;

  // The events file's verbs that act on windows (click, rclick, move, wheel, key, keydown, keyup, menu,
  // float-click, dialog, name, comment, config, quit), delivered the way a player acts. A backend with real
  // widgets turns the event into input on them (a mouse event on the window, the menu item's action, a
  // press of the dialog's button) and returns true; false leaves it to the engine, which calls the
  // handlers the widgets would have called. The headless backend has no widgets and returns false.
  virtual bool DeliverEvent(const Event& event) { return false; }
  // The texts of the modal window in front for the events file's dialog-text verb: caption first, then
  // every label and the text box, one a line. False when the backend has no view of its own to read (the
  // engine then reads them from the form's state).
  virtual bool FrontDialogTexts(std::u16string& texts) { return false; }

  // Output.
  virtual void PaintMain(const TABitmap& frame) = 0;
  virtual void PaintFloat(const TABitmap& frame) = 0;
  // The same for a composed frame of which only `changed` differs from the frame painted before; a
  // backend may repaint more.
  virtual void PaintMainArea(const TABitmap& frame, const Rect& changed) { PaintMain(frame); }
  virtual void PaintFloatArea(const TABitmap& frame, const Rect& changed) { PaintFloat(frame); }
  virtual void SetCursorShown(bool shown) = 0;
  virtual void SetFullScreen(bool full) = 0;
  virtual void SetFloatVisible(bool visible) = 0;
  virtual bool FloatVisible() = 0;

  // Popup menu of the main window.
  virtual void SetMenuEnabled(MenuItem item, bool enabled) = 0;
  virtual bool MenuEnabled(MenuItem item) = 0;
  virtual void SetMenuCaption(MenuItem item, const std::u16string& caption) = 0;
  virtual void SetMenuChecked(MenuItem item, bool checked) = 0;
  virtual bool MenuChecked(MenuItem item) = 0;
  // Opens the popup menu at `client` of `window` (the main or the floating window).
  virtual void PopupMenu(Point client, WindowId window = WindowId::Main) = 0;

  // Modal windows: the engine opens one, runs passes until its state says it is done, then closes it.
  // A backend whose passes are driven from outside, one per callback (the browser's frame callback),
  // cannot run passes inside a pass: it answers false, and the engine then keeps an open form as a state
  // that its passes return to, going on with what follows the form once it is answered.
  virtual bool NestedModalLoops() const { return true; }
  // The player's files (SAVE.DAT, thumbnails) were just written: a backend whose storage keeps them only
  // once flushed (the browser's IndexedDB) flushes it now.
  virtual void PlayerFilesWritten() {}
  // Where the player's files are kept when that is no folder the player can open (the browser's own
  // storage), as an engine text (text/engine_texts.h) that the notice naming the save folder shows in place
  // of its path; empty where the files are in a folder.
  virtual std::u16string_view PlayerFilesPlace() const { return {}; }
  virtual void OpenForm(FormId form) = 0;
  virtual void CloseForm(FormId form) = 0;
  virtual void SetFormVisible(FormId form, bool visible) = 0;
  // The engine changed what a form's view shows (a label, the error list) outside the view's own
  // handlers; a backend with views brings that form's view up to date.
  virtual void FormChanged(FormId form) {}

  // A message the player must see before the program ends (start-up failures): a line in Japanese, then
  // the same in English. Every backend writes it to standard error; one with windows also shows it.
  virtual void FatalMessage(const std::string& utf8) = 0;
  // Damage the player must know of before the game goes on (a first script or start-up pictures that
  // cannot be loaded), in Japanese, then in English. Every backend writes it to standard error; one with
  // windows also shows it in a modal box over the main window and returns once the player has closed it
  // (or the desktop asks the game to end). The game then goes on.
  virtual void WarningMessage(const std::string& utf8) = 0;

  // Why the sound output this backend stands for cannot be opened; empty when it can. The windowed
  // game's output is the machine's sound device, which the sound system opens and reports itself; the
  // headless backend has none, and a test may make its output fail here, as a machine without a sound
  // card would. Either way the game then mixes on a silent device of its own.
  virtual std::string SoundOutputFault() { return {}; }

  // The main window's caption: the game's title.
  virtual void SetMainCaption(const std::u16string& caption) = 0;
  // The language the windows' texts are in ("en", "ru", "zh_CN"; "ja" for the original's): a backend
  // shows its dialogs in faces that cover it, and its toolkit's own texts in it where it can.
  virtual void UseLanguage(std::string_view language) {}
};

// Writes a start-up failure's or a warning's lines to standard error, each after "mokuren: ".
void PrintFatalMessage(const std::string& utf8);

}  // namespace mokuren
