// What an events file's "wait" line asks of the game: where it waits for the player and whether anything
// is still moving. Each subsystem answers for itself; the automation only compares.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/event.h"

namespace mokuren {

class TForm1;

struct GameMoment {
  int32_t taskCode = 0;
  std::optional<FormId> front;  // the modal window in front, if any
  bool dialogUp = false;        // a modal window is in front
  bool menuWaits = false;       // the title menu or an album screen takes input
  bool messageWaits = false;    // a message shown whole takes a click or a key at once
  bool choiceWaits = false;     // a choice takes a click on a line at once
  bool moving = false;          // typing, a fade (of the scene or a menu), or a movie
};

GameMoment AskGameMoment(TForm1& engine);
// Whether the wait of `event` holds at `moment`.
bool WaitHolds(const Event& event, const GameMoment& moment);

}  // namespace mokuren
