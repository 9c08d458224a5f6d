// Searches of the loaded code: block markers (else / end of block) and labels. Both stop at the first
// end instruction, so code left over from a longer script loaded earlier is never reached.
#include <algorithm>

#include "base/text_codec.h"
#include "script/code_search.h"
#include "script/opcodes.h"
#include "script/script_machine.h"

namespace mokuren {

int32_t ScriptMachine::GetElseStep(int32_t key) {
  const CodeSearch found = FindBlockMarker(ScriptCode, std::max(StepNo + 1, 0), key);
  SearchWork += found.scanned;
  if (found.noEndMet)
    ReportScriptFault(u"the search for the end of block " + FromUtf8(std::to_string(key)) + u" met no end instruction");
  return found.step;
}

int32_t ScriptMachine::GetLabelStep(const std::u16string& name) {
  // An unlisted name gives -1; the search then finds only a label stored with P1 = -1.
  const CodeSearch found = FindLabelInstruction(ScriptCode, LabelIndex(LabelNames, name));
  SearchWork += found.scanned;
  if (found.noEndMet) ReportScriptFault(u"the search for label \"" + name + u"\" met no end instruction");
  return found.step;
}

int32_t ScriptMachine::LoadedCodeEnd() const { return CodeEnd(ScriptCode); }

void ScriptMachine::GoToTitleCommand() {
  Kumo_ReadScript(1);
  StepNo = -1;
  for (size_t i = 0; i < ScriptCode.size(); ++i) {
    const ScriptInstruction& ins = ScriptCode[i];
    if (ins.Code == op::SystemFunction && ins.P1 == op::sys::Title) {
      StepNo = static_cast<int32_t>(i) - 1;
      break;
    }
    if (ins.Code == op::End) break;
  }
}

}  // namespace mokuren
