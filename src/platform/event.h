// An event of the events file, parsed once into its verb and typed arguments. The engine applies it; a
// backend with real widgets delivers the window verbs through them (Platform::DeliverEvent).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/geometry.h"
#include "platform/platform.h"

namespace mokuren {

enum class Verb : uint8_t {
  Click,
  RClick,
  Move,
  Wheel,
  Key,
  KeyDown,
  KeyUp,
  Menu,
  FloatClick,
  Dialog,
  Name,
  Comment,
  Config,
  Debug,
  QuickSave,
  QuickLoad,
  Save,
  Load,
  Screenshot,
  ScreenshotFloat,
  ScreenshotSaveLoad,
  DialogText,
  Quit,
  Wait,
  Count
};

// The verb's name in the events file ("click", "float-click", …), and the verb of a name.
std::string_view VerbName(Verb verb);
std::optional<Verb> VerbByName(std::string_view name);

// One control of the settings dialog, as the "config" verb sets it.
struct ConfigSetting {
  enum class Field : uint8_t { Effects, Mode, Speed, Auto, Bgm, Se, Voice };
  Field field = Field::Effects;
  // effects: 1 on, 0 off; mode: 0 window, 1 full screen; speed 1-3; auto 0-20 (seconds); volumes 0-100.
  int32_t value = 0;
};
// "effects=on", "speed=2", "bgm=40", …; nothing for a pair that names no control or a value it cannot take.
std::optional<ConfigSetting> ParseConfigSetting(std::string_view pair);

// The debug window's buttons by their events-file names, and "status" for its two status lines.
enum class DebugButtonName : uint8_t { FLG, MSG, AlbumOn, AlbumOff, AlbumRnd, RT, Status, Count };
std::string_view DebugButtonNameText(DebugButtonName button);

// What a "wait" line holds the lines after it for.
enum class WaitFor : uint8_t {
  Title,    // a title or album menu waits for input
  Message,  // a message is typed whole and waits for a click or a key
  Choice,   // a choice waits for a line to be picked
  Task,     // TaskCode is the given code
  Idle,     // nothing typing, fading or playing a movie
  Name,     // the name dialog is in front, waiting for a name
  Dialog,   // the given modal window is in front
  Count
};
std::string_view WaitForName(WaitFor what);
// The modal windows a "wait dialog KIND" names: name, comment, confirm, settings and saveload (the
// save/load screen); nothing for a window that is never modal.
std::string_view DialogKindName(FormId form);
std::optional<FormId> DialogKindByName(std::string_view name);
// "wait message", "wait task 6002", "wait dialog comment": the wait as an events file writes it, without
// its timeout.
std::string WaitText(const struct Event& wait);

struct Event {
  // Without `relative`: the time since the loop started. With it (a "+MS" line, or a "wait" line given
  // without a time): the time since the line before it was applied, or since a wait before it held.
  uint32_t ms = 0;
  bool relative = false;
  Verb verb = Verb::Quit;
  int line = 0;  // of the events file, for messages about it

  Point point;                                    // click, rclick, move, float-click
  bool yes = false;                               // wheel: up (else down); dialog: ok (else cancel)
  Key key = Key::Enter;                           // key, keydown, keyup
  MenuItem item = MenuItem::menuQuit;             // menu
  int slot = 0;                                   // save, load: 1-100
  DebugButtonName button = DebugButtonName::FLG;  // debug
  std::vector<ConfigSetting> settings;            // config
  // name, comment: the text; screenshot, screenshot-float, screenshot-saveload, dialog-text, debug: the
  // file to write.
  std::string text;
  // wait: the condition, TaskCode for "wait task", and how long it may take before the run fails.
  WaitFor waitFor = WaitFor::Idle;
  int32_t taskCode = 0;
  FormId form = FormId::TQueryForm;  // "wait dialog KIND"
  uint32_t timeoutMs = 0;
};

}  // namespace mokuren
