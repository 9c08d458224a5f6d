// The script's waits: a timed wait (which a click or key may end when the script allows it) and a wait
// for a click or key.
#include "base/task_codes.h"
#include "script/script_machine.h"

namespace mokuren {

void ScriptMachine::Kumo_Wait() {
  // The deadline is compared on the wrapping 32-bit clock.
  if (static_cast<int32_t>(host_.Now() - static_cast<uint32_t>(WaitDeadline)) >= 0) host_.SetTaskCode(task::Script);
  const PassInput& input = host_.Input();
  if (WaitClickable && (input.KeyEnter || input.KeyCtrl || input.ClickPending)) host_.SetTaskCode(task::Script);
}

void ScriptMachine::Kumo_WaitKey() {
  const PassInput& input = host_.Input();
  if (input.KeyEnter || input.KeyCtrl || input.ClickPending) host_.SetTaskCode(task::Script);
}

}  // namespace mokuren
