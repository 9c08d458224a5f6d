// The keys that move between a screen's items, as one move a pass.
#pragma once

#include "base/keyboard_focus.h"
#include "platform/platform.h"

namespace mokuren {

// Takes one waiting press of the arrows, Tab or Backtab and gives its move; None when none waits. Presses
// beyond the first wait for the next pass, so each moves once.
FocusMove TakeFocusMove(Platform& platform);
// Drops every waiting press of those keys and of Escape (pressed while the game's window was not in front).
void DropFocusKeys(Platform& platform);

}  // namespace mokuren
