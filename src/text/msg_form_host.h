// What the floating message window may touch in the engine: the mouse latches that the next pass samples,
// and the popup menu.
#pragma once

#include "platform/platform.h"

namespace mokuren {

class MsgFormHost {
 public:
  // A press of `button`, latched as a press on the main window is.
  virtual void LatchMouseDown(MouseButton button) = 0;
  // A turn of the wheel.
  virtual void LatchWheelUp() = 0;
  virtual void LatchWheelDown() = 0;
  // The popup menu at `client` of the floating window, where the script allows it (a right press there, as
  // on the main window).
  virtual void PopupMenuAt(Point client) = 0;

 protected:
  ~MsgFormHost() = default;
};

}  // namespace mokuren
