// The script machine's state bound to SAVE.DAT's image: the live record's place in the script, its
// scenario variables and call table, and the system area's variables and read marks.
#include "script/script_machine.h"

namespace mokuren {

ScriptMachine::ScriptMachine(ScriptHost& host, ErrorList& errors, SaveBlock& block)
    : ScriptNo(block.Live.ScriptNo),
      StepNo(block.Live.StepNo),
      ScenarioVars(block.Live.ScenarioVarsRaw),
      SystemVars(block.SystemVarsRaw),
      ReturnTable(block.Live.ReturnTable),
      ReturnDepth(block.Live.ReturnDepth),
      ReadMarks(block.ReadMarks),
      host_(host),
      errors_(errors) {}

}  // namespace mokuren
