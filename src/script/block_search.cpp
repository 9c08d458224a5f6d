// Searches of the loaded code: block markers (else / end of block) and labels. Both stop at the first
// end instruction, so code left over from a longer script loaded earlier is never reached.
#include <algorithm>

#include "base/text_codec.h"
#include "script/code_search.h"
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

}  // namespace mokuren
