// How long the main loop may rest when the game only waits for the player. Passes come every 10 ms, but
// while a message, a choice or a menu waits with no clock of its own running, a pass between two frames
// finds nothing to do: the backend may then rest until the next frame, waking at once for input.
#include <cmath>

#include "app/TForm1.h"

namespace mokuren {

std::optional<uint32_t> TForm1::QuietUntil() {
  switch (TaskCode) {
    // Typing and the waiting icon move only at frames; the rest waits for input.
    case task::MessageTyping:
    case task::MessageWait:
    case task::SelectWait:
    case task::TitleMenu:
    case task::WaitKey:
    case task::NameEntry: break;
    default: return std::nullopt;
  }
  // Anything that runs on the 10 ms timer or on the clock between frames keeps the ordinary rhythm: a
  // held key's lock, auto mode and the skip modes, a movie, and the events file's timed events.
  if (KeyLock > 0 || AutoMode || ReadSkip || SceneSkip || FastForward || SectionSkip || MoviePlaying() ||
      automation_.Pending())
    return std::nullopt;
  return static_cast<uint32_t>(static_cast<int64_t>(std::ceil(NextFrameTime)));
}

}  // namespace mokuren
