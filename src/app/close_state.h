// How far the main window has come in closing: the quit question on screen, SAVE.DAT being written at the
// end, and the end itself.
#pragma once

namespace mokuren {

struct CloseState {
  bool terminated = false;       // the game has ended; no pass runs any more
  bool asking = false;           // the quit question is on screen
  bool finalSaving = false;      // FormClose is writing SAVE.DAT, perhaps asking to try again
  bool finalSaveFailed = false;  // the game closed without its final SAVE.DAT
};

}  // namespace mokuren
