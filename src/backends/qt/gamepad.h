// Gamepads, through SDL's game controller API, as a second mouse and keyboard: A clicks where the pointer
// is, X right-clicks (the popup menu), B hides or shows the message window (Space) and backs out of a
// dialog, the menu or the save screen (Escape), the shoulder buttons page the message log (PageUp,
// PageDown), Start is Enter, the left stick moves the pointer and the d-pad jumps it between the choice
// bands or the title's rows (elsewhere it nudges it). In the popup menu the d-pad, A and Start choose.
// Pads may come and go while the game runs; without one, a look at SDL's queue four times a second is
// all it costs.
#pragma once

#include <QPointF>
#include <QPointer>
#include <QWidget>
#include <array>
#include <chrono>
#include <cstdint>
#include <map>

struct _SDL_GameController;

namespace mokuren {

class QtPlatform;
struct SdlFunctions;

class Gamepad {
 public:
  // SDL's game controller subsystem is started by the first Poll that finds SDL loaded (PrepareSdl loads it
  // while the window opens); without it (no SDL, or it fails) Poll does nothing.
  explicit Gamepad(QtPlatform& platform);
  ~Gamepad();
  Gamepad(const Gamepad&) = delete;
  Gamepad& operator=(const Gamepad&) = delete;

  // On the engine thread, once a pass: takes the pads' events and moves the pointer by the stick.
  void Poll();
  // Jumps the pointer to the next choice band or title row in the direction (dx, dy), or nudges it where
  // there are none; the keyboard's arrows use it too.
  void DPad(int dx, int dy);

 private:
  void Button(int button, bool down);
  // A press or release of a mouse button where the pointer is, on the widget there.
  void Click(Qt::MouseButton button, bool down);
  // A key held while the pad's button is, sent to the popup menu, dialog or window that has the keyboard.
  void Key(int button, int qtKey, bool down);
  void MoveByStick();

  QtPlatform& platform_;
  const SdlFunctions* sdl_ = nullptr;  // there once the subsystem started
  bool tried_ = false;                 // the start was tried
  bool started_ = false;
  std::map<int32_t, _SDL_GameController*> pads_;  // by SDL's instance id
  std::array<QPointer<QWidget>, 2> pressed_;      // where the left and right clicks went down
  std::map<int, int> heldKeys_;                   // pad button -> the Qt key its press sent
  QPointF stickRest_;                             // movement of the stick not yet a whole pixel
  std::chrono::steady_clock::time_point lastPoll_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point lastLook_;  // when SDL's events were last taken
};

}  // namespace mokuren
