#include "backends/qt/gamepad.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>
#include <vector>

#include "backends/qt/qt_platform.h"
#include "backends/qt/qt_windows.h"
#include "platform/window_host.h"

#include "platform/sdl_library.h"

namespace mokuren {

namespace {

// The stick: a dead zone against drift, and the pointer's top speed in frame pixels a second.
constexpr double kDeadZone = 8000;
constexpr double kTopSpeed = 900;
// Where no choice or title row can be jumped to, the d-pad moves the pointer this far (frame pixels).
constexpr int32_t kNudge = 8;
// How often SDL is asked for pads while none is connected.
constexpr std::chrono::milliseconds kLookForPads{250};

// The stop nearest to `from` in direction (dx, dy): first by distance along it, then across it.
const Point* NextStop(const std::vector<Point>& stops, Point from, int dx, int dy) {
  const Point* best = nullptr;
  int64_t bestAlong = 0, bestAcross = 0;
  for (const Point& s : stops) {
    const int64_t along = dx != 0 ? dx * int64_t{s.x - from.x} : dy * int64_t{s.y - from.y};
    const int64_t across = std::abs(dx != 0 ? int64_t{s.y - from.y} : int64_t{s.x - from.x});
    // The pointer put on a stop may read back a pixel off it (the screen's pixels are not the frame's):
    // a stop that close is the one it is on.
    if (along <= 2) continue;
    if (!best || along < bestAlong || (along == bestAlong && across < bestAcross)) {
      best = &s;
      bestAlong = along;
      bestAcross = across;
    }
  }
  return best;
}

}  // namespace

#ifdef MOKUREN_HAVE_SDL

Gamepad::Gamepad(QtPlatform& platform) : platform_(platform) {}

Gamepad::~Gamepad() {
  for (auto& [id, pad] : pads_) sdl_->GameControllerClose(pad);
  if (started_) sdl_->QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void Gamepad::Poll() {
  // SDL still loading on its thread is not waited for: the pads are looked at from the next pass on.
  if (!tried_ && SdlReady()) {
    tried_ = true;
    std::string error;
    started_ = StartSdlSubsystem(SDL_INIT_GAMECONTROLLER, error);
    if (started_) sdl_ = LoadSdl(error);
  }
  if (!started_) return;
  // Without a pad only one coming matters: looking for it a few times a second spares a resting game
  // SDL's device checks at every pass.
  const auto now = std::chrono::steady_clock::now();
  if (pads_.empty() && now - lastLook_ < kLookForPads) return;
  lastLook_ = now;
  SDL_Event e;
  while (sdl_->PollEvent(&e)) {
    switch (e.type) {
      case SDL_CONTROLLERDEVICEADDED:
        if (SDL_GameController* pad = sdl_->GameControllerOpen(e.cdevice.which))
          pads_[sdl_->JoystickInstanceID(sdl_->GameControllerGetJoystick(pad))] = pad;
        break;
      case SDL_CONTROLLERDEVICEREMOVED:
        if (auto it = pads_.find(e.cdevice.which); it != pads_.end()) {
          sdl_->GameControllerClose(it->second);
          pads_.erase(it);
        }
        break;
      case SDL_CONTROLLERBUTTONDOWN:
      case SDL_CONTROLLERBUTTONUP: Button(e.cbutton.button, e.type == SDL_CONTROLLERBUTTONDOWN); break;
      default: break;
    }
  }
  MoveByStick();
}

void Gamepad::Button(int button, bool down) {
  // A pad pressed while another program has the keyboard is not the game's; releases always count, so
  // nothing stays held.
  if (down && !QApplication::activeWindow()) return;
  const bool menu = QApplication::activePopupWidget() != nullptr;
  switch (button) {
    case SDL_CONTROLLER_BUTTON_A: menu ? Key(button, Qt::Key_Return, down) : Click(Qt::LeftButton, down); break;
    case SDL_CONTROLLER_BUTTON_X: menu ? Key(button, Qt::Key_Escape, down) : Click(Qt::RightButton, down); break;
    case SDL_CONTROLLER_BUTTON_B:
      Key(button, menu || platform_.FrontView() ? Qt::Key_Escape : Qt::Key_Space, down);
      break;
    case SDL_CONTROLLER_BUTTON_START: Key(button, Qt::Key_Return, down); break;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: Key(button, Qt::Key_PageUp, down); break;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: Key(button, Qt::Key_PageDown, down); break;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: {
      const int dy = button == SDL_CONTROLLER_BUTTON_DPAD_UP ? -1 : 1;
      if (menu) {
        Key(button, dy < 0 ? Qt::Key_Up : Qt::Key_Down, down);
      } else if (down) {
        DPad(0, dy);
      }
      break;
    }
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      if (down && !menu) DPad(button == SDL_CONTROLLER_BUTTON_DPAD_LEFT ? -1 : 1, 0);
      break;
    default: break;
  }
}

void Gamepad::MoveByStick() {
  const auto now = std::chrono::steady_clock::now();
  // A stalled pass does not throw the pointer across the screen.
  const double seconds = std::min(std::chrono::duration<double>(now - lastPoll_).count(), 0.05);
  lastPoll_ = now;
  double x = 0, y = 0;
  for (const auto& [id, pad] : pads_) {
    x += sdl_->GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    y += sdl_->GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
  }
  const double tilt = std::hypot(x, y);
  if (tilt <= kDeadZone || !QApplication::activeWindow()) {
    stickRest_ = {};
    return;
  }
  // Slow near the middle for aiming, fast at the edge.
  const double share = std::min((tilt - kDeadZone) / (32767 - kDeadZone), 1.0);
  const double speed = share * share * kTopSpeed * FrameScale(platform_.Main());
  stickRest_ += QPointF(x / tilt, y / tilt) * speed * seconds;
  const QPoint step(static_cast<int>(stickRest_.x()), static_cast<int>(stickRest_.y()));
  stickRest_ -= step;
  if (!step.isNull()) platform_.MovePointer(platform_.PointerGlobal() + step);
}

#else

Gamepad::Gamepad(QtPlatform& platform) : platform_(platform) {}
Gamepad::~Gamepad() = default;
void Gamepad::Poll() {}
void Gamepad::Button(int, bool) {}
void Gamepad::MoveByStick() {}

#endif

void Gamepad::Click(Qt::MouseButton button, bool down) {
  QPointer<QWidget>& pressed = pressed_[button == Qt::LeftButton ? 0 : 1];
  const QPointF global(platform_.PointerGlobal());
  QWidget* target = pressed;
  if (down) {
    target = QApplication::widgetAt(global.toPoint());
    // Behind a modal dialog nothing takes clicks, as with the mouse.
    if (QWidget* modal = QApplication::activeModalWidget();
        target && modal && !modal->isAncestorOf(target) && target != modal)
      target = nullptr;
    pressed = target;
  } else {
    pressed = nullptr;
  }
  if (!target) return;
  QMouseEvent e(down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, target->mapFromGlobal(global), global,
                button, down ? button : Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(target, &e);
}

void Gamepad::Key(int button, int qtKey, bool down) {
  if (down) {
    heldKeys_[button] = qtKey;
  } else {
    auto it = heldKeys_.find(button);
    if (it == heldKeys_.end()) return;
    qtKey = it->second;
    heldKeys_.erase(it);
  }
  // The popup menu, else the widget with the keyboard in the dialog or screen in front, else the game.
  QWidget* target = QApplication::activePopupWidget();
  QWidget* front = platform_.FrontView();
  QWidget* focus = QApplication::focusWidget();
  if (!target && front) target = focus && front->isAncestorOf(focus) ? focus : front;
  if (!target) target = focus ? focus : &platform_.Main();
  QKeyEvent e(down ? QEvent::KeyPress : QEvent::KeyRelease, qtKey, Qt::NoModifier);
  QApplication::sendEvent(target, &e);
}

void Gamepad::DPad(int dx, int dy) {
  const Point at = platform_.CursorPos(WindowId::Main);
  // Jumps only on the game's own frame, where the engine names the places to jump to.
  if (!platform_.FrontView()) {
    // Kept while the stop found in it is used.
    const std::vector<Point> stops = platform_.host().PointerStops();
    if (const Point* stop = NextStop(stops, at, dx, dy)) {
      platform_.InjectCursor(WindowId::Main, *stop);
      return;
    }
  }
  const double step = kNudge * FrameScale(platform_.Main());
  platform_.MovePointer(platform_.PointerGlobal() + QPointF(dx * step, dy * step).toPoint());
}

}  // namespace mokuren
