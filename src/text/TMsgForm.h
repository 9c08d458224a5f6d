// TMsgForm: the floating message window. A borderless window of 800 x 184 that stays on top, named after
// the game as the main window is, and shows FloatSurface: while it is visible, the message window, its waiting icon and
// the button row are drawn there instead of on the main frame, so the scene stays uncovered. The player turns it on and
// off with the popup menu's "ウィンドウフロート化" and drags it by its top band; a press below the band,
// the wheel and the keys are the game's input as on the main window.
#pragma once

#include <cstdint>
#include <string>

#include "base/frame.h"
#include "platform/platform.h"
#include "text/msg_form_host.h"

namespace mokuren {

class TABitmap;

class TMsgForm {
 public:
  TMsgForm(const TABitmap& picture, MsgFormHost& host) : Picture(picture), host_(host) {}

  static constexpr int32_t ClientWidth = kFrameWidth;
  static constexpr int32_t ClientHeight = kMessageWindowHeight;
  // Each time the window is shown it is put over this client point of the main window, exactly over the
  // message area; a position reached by dragging is not kept.
  static constexpr Point ShowAt{0, kMessageWindowTop};
  // Presses at y 0-DragBand move the window.
  static constexpr int32_t DragBand = 32;
  // What FormPaint draws at (0, 0).
  const TABitmap& Picture;

  // True when the press starts moving the window (the left button on the band): the view then hands the
  // drag to the window system. Otherwise the press is latched as on the main window, except that it does
  // not itself end read skip or auto mode (the click it becomes does); the right button opens the popup
  // menu there, as on the main window.
  bool FormMouseDown(MouseButton button, Point client) {
    if (button == MouseButton::Left && client.y <= DragBand) return true;
    host_.LatchMouseDown(button);
    if (button == MouseButton::Right) host_.PopupMenuAt(client);
    return false;
  }
  void FormMouseWheelUp() { host_.LatchWheelUp(); }
  void FormMouseWheelDown() { host_.LatchWheelDown(); }

 private:
  MsgFormHost& host_;
};

}  // namespace mokuren
