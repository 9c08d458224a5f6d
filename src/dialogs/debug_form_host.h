// What the debug window asks of the rest of the engine besides the save block (the scenario and system
// banks, the return table, the seen flags and the live record's sound), the platform and the error list it
// is given: the work bank, the script's random numbers, the message log's dump and the interpreter's
// status line. The engine's link (app/dialog_links.h) is the one implementation.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "base/var_bank.h"

namespace mokuren {

class DebugFormHost {
 public:
  // The work bank, which lives for the run only.
  virtual const VarBank& WorkVars() = 0;
  // The script's random numbers: "Album RND" draws from them, so a headless run repeats its draws.
  virtual std::mt19937& Random() = 0;
  // The "MSG履歴" dump of the message log.
  virtual std::vector<std::u16string> MessageLogLines() = 0;
  // The interpreter's status line (debug_dump.h): TaskCode, the script, the step and the instruction
  // last fetched.
  virtual std::u16string InterpreterStatus() = 0;

 protected:
  ~DebugFormHost() = default;
};

}  // namespace mokuren
