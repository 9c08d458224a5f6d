// The command line: the game directory, the backend and the automation options.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mokuren {

struct LaunchOptions {
  std::string gameDir;  // empty: the executable's directory
  bool headless = false;
  std::string eventsFile;
  std::optional<uint32_t> maxMs;
  // End the run this long after the events file's last line was applied (as --max-ms ends it).
  std::optional<uint32_t> endAfterEventsMs;
  std::string recordEvents;  // the player's input written as an events file
  std::string recordAudio;
  std::string traceFile;
  std::string textHook;  // every message and choice shown, appended as UTF-8 lines
  bool speak = false;    // unvoiced messages read aloud through speech-dispatcher
  int scale = 1;         // the window starts at this many times 800x600
  std::string lang;      // --lang LL: play GAME_DIR/tl/LL.po ("ja": the original); empty: none given
  // --scale was given: the window's remembered size and place are not used.
  bool scaleGiven = false;
  // Without --lang, the player's languages (LANGUAGE's entries, then LANG) choose among the game's
  // translations; the program fills this in, tests leave it empty.
  std::vector<std::string> environmentLanguages;
  bool help = false;
  bool version = false;
  bool pixelRoutines = false;  // --pixel-routines: name the pixel routines in use and end
};

struct ParseResult {
  LaunchOptions options;
  std::string error;  // non-empty: a bad option, reported with exit status 2
};

ParseResult ParseCommandLine(int argc, const char* const* argv);

// Checks that the files the program will write can be opened, before anything runs: false, with a
// message naming the file and the reason, when one cannot (exit status 2, as for a bad option).
bool CheckOutputFiles(const LaunchOptions& options, std::string& error);

// Makes the files named on the command line absolute against dir (the directory the program was started
// in), since the engine works in the game directory.
void ResolveFilesAgainst(LaunchOptions& options, const std::string& dir);
const char* UsageText();

}  // namespace mokuren
