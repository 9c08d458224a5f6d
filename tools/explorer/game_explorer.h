// The branch explorer: plays a game headless through every choice reachable from script 1, breadth-first
// over the states the game is in at its choices, and records what was played.
//
// One engine plays the whole exploration. Messages fly past in the debug mode's fast-forward (Ctrl held),
// the title's "はじめから" starts the game and the name dialog takes the default name. At a choice met in
// a state not seen before, the game's state is saved there as the engine saves a game (the live record,
// with the system and work variables beside it), the path goes on with the first option, and one branch
// is queued for each other option; a choice met in a state already explored ends the path there ("joins").
// A queued branch starts by loading its saved state the way a quick load does, and takes its option at the
// choice that comes back. The state is the script, its step, the three variable banks and the call table;
// read marks, the clock and W1, which the choice itself overwrites, do not count.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "explorer/script_catalog.h"

namespace mokuren::explorer {

struct ExploreOptions {
  std::filesystem::path game;
  // A folder of the explorer's own, where the game is linked in and the runs write their saves.
  std::filesystem::path work;
  size_t maxPaths = 10000;
  double maxSeconds = 600;
  // Where each path is told as it ends (none: quiet).
  std::ostream* progress = nullptr;
  // Where the running count (paths done, branches left, time) is told every few seconds (none: quiet),
  // and whether that is a terminal, where the count is rewritten on one line.
  std::ostream* status = nullptr;
  bool statusOnTerminal = false;
};

// A choice the path made: the script and step of the choice and the option taken (1 first).
struct Pick {
  int script = 0;
  int32_t step = 0;
  int option = 0;
  std::string text;  // the option's text, as the player saw it
};

enum class PathEnd : uint8_t {
  Title,    // the story came back to the title menu: a normal end
  Closed,   // the game closed
  Merged,   // a choice in a state another path explores
  DeadEnd,  // a script stopped without a way on, or nothing moved with nothing to click
  Loop,     // the same message came again in the same state with no choice between
  TooLong,  // the path ran past the explorer's bound for one path
  Stopped,  // the explorer's bound on paths or time ran out during it
};
const char* PathEndName(PathEnd end);

struct ExploredPath {
  std::vector<Pick> picks;
  PathEnd end = PathEnd::Title;
  std::string where;    // what happened at the end, for the report
  uint32_t gameMs = 0;  // the game's clock it took from its choice (or the start) to its end
};

// A line of the error list, met first on `path`.
struct MetError {
  std::string line;
  size_t path = 0;
};

struct ExploreResult {
  ScriptCatalog catalog;
  std::set<std::pair<int, int32_t>> ranSteps;  // (script, step) of every instruction run
  std::vector<ExploredPath> paths;
  std::vector<MetError> errors;
  size_t statesAtChoices = 0;
  size_t queuedLeft = 0;  // branches not explored when a bound stopped the explorer
  double seconds = 0;
  std::string startFailure;  // the game could not start: what the engine said

  bool Complete() const { return queuedLeft == 0 && startFailure.empty(); }
  bool Ran(int script, int32_t step) const { return ranSteps.count({script, step}) != 0; }
  // A label counts as reached when the path arrived at it: its own step ran (falling through) or the one
  // after it (a jump lands on the label and goes on from the next instruction).
  bool LabelReached(int script, int32_t step) const { return Ran(script, step) || Ran(script, step + 1); }
  bool ScriptReached(int script) const;
};

// Throws std::runtime_error naming the file when the game's scripts cannot be read.
ExploreResult Explore(const ExploreOptions& options);

// "(start)", or the options taken: "一緒に行く → 先へ進む".
std::string DescribePath(const ExploredPath& path);

}  // namespace mokuren::explorer
