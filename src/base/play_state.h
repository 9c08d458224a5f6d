// The player's input as one pass of the main loop sees it, and the play modes it drives. The message
// window samples and keeps them; the tasks that wait for the player read them and use up what they act
// on.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "base/keyboard_focus.h"

namespace mokuren {

// Passes a key stays locked after it acted, so that a held key acts again only about every 100 ms.
inline constexpr int32_t kKeyLockPasses = 10;

struct PassInput {
  uint8_t KeyEnter = 0;
  uint8_t KeyCtrl = 0;
  uint8_t KeySpace = 0;
  uint8_t KeyLogBack = 0;            // PageUp, F1 or the wheel turned up
  uint8_t KeyLogForward = 0;         // PageDown, F2 or the wheel turned down
  uint8_t LogByWheel = 0;            // the log keys above came from the wheel alone
  uint8_t ClickPending = 0;          // a left press not yet acted on
  FocusMove Move = FocusMove::None;  // an arrow, Tab or Backtab pressed: the screen waiting moves its focus
  uint8_t KeyBack = 0;               // Escape pressed: the album's screens go back
  Point MousePos;                    // client coordinates of the main window, refreshed every pass
  Point FloatMousePos;               // client coordinates of the floating window
};

struct PlayModes {
  uint8_t ReadSkip = 0;
  uint8_t SceneSkip = 0;
  uint8_t FastForward = 0;
  uint8_t AutoMode = 0;
  uint8_t SectionSkip = 0;         // inside a section the player may skip whole
  uint8_t SectionSkipRequest = 0;  // the player asked to skip the rest of that section
};

}  // namespace mokuren
