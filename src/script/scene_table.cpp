// The scene table: the scripts an album replay runs one after another, in the order they were picked.
#include "script/script_machine.h"

namespace mokuren {

int32_t ScriptMachine::AddSceneTbl(int32_t script) {
  for (int32_t i = 1; i <= static_cast<int32_t>(SceneTableRaw.size()); ++i) {
    int32_t& entry = SceneTableRaw[i - 1];
    // Script 0 is the free marker: it matches the first free entry and so is never stored.
    if (entry == script) return -1;
    if (entry == 0) {
      entry = script;
      return i;
    }
  }
  return 0;
}

int32_t ScriptMachine::GetSceneTbl(int32_t script) {
  for (int32_t i = 1; i <= static_cast<int32_t>(SceneTableRaw.size()); ++i)
    if (SceneTableRaw[i - 1] == script) return i;
  return -1;
}

void ScriptMachine::LoadFirstReplayScene() {
  SceneTableCursor = 1;
  Kumo_ReadScript(SceneTableRaw[0]);
  StepNo = -1;
}

}  // namespace mokuren
