// The signals by which the desktop or a terminal asks the game to end: SIGTERM (shutdown, kill), SIGINT
// (Ctrl+C) and SIGHUP (logout, the terminal closed).
//
// Until the main loop runs, a signal ends the process at once, as if no handler were installed: nothing
// has been played that a close could save, and start-up may be waiting in a call that a handler cannot
// cut short (a file on a hung network share, a message box). Once the main loop runs, the handler only
// records the request; the engine thread sees it at the start of its next pass and closes as a confirmed
// quit would. A second signal while the first is still being handled ends the process at once.
#pragma once

namespace mokuren {

// Installs the handlers (once, before any library can install its own) and ignores SIGPIPE, so that a
// reader of a pipe going away (the text hook) is an error to handle and not the end of the game.
void InstallQuitSignals();

// From now on a first signal is recorded for the main loop instead of ending the process. Called by the
// engine thread when its main loop starts.
void RecordQuitSignals();

// The signal that asked the game to end, or 0 while none has.
int QuitSignal();

}  // namespace mokuren
