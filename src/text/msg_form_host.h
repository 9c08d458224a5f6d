// What the floating message window may touch in the engine: the mouse latches that the next pass samples.
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

 protected:
  ~MsgFormHost() = default;
};

}  // namespace mokuren
