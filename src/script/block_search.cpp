// Searches of the loaded code: block markers (else / end of block) and labels. Both stop at the first
// end instruction, so code left over from a longer script loaded earlier is never reached.
#include <algorithm>

#include "app/TForm1.h"
#include "script/opcodes.h"
#include "text/text_codec.h"

namespace mokuren {

namespace {

uint8_t LowByte(uint16_t code) { return static_cast<uint8_t>(code & 0xFF); }

}  // namespace

int32_t TForm1::GetElseStep(int32_t key) {
  const int32_t size = static_cast<int32_t>(ScriptCode.size());
  const int32_t first = std::max(StepNo + 1, 0);
  for (int32_t i = first; i < size; ++i) {
    const ScriptInstruction& ins = ScriptCode[i];
    const uint8_t c = LowByte(ins.Code);
    if ((c == op::Else || c == op::EndOfBlock) && ins.P1 == key) {
      SearchWork += i - first;
      return i;
    }
    if (c == op::End) {
      SearchWork += i - first;
      return -1;
    }
  }
  SearchWork += size - first;
  ReportScriptFault(u"the search for the end of block " + FromUtf8(std::to_string(key)) + u" met no end instruction");
  return -1;
}

int32_t TForm1::GetLabelStep(const std::u16string& name) {
  // k is -1 when the name is not listed; the search below then finds only a label stored with P1 = -1.
  auto found = std::find(LabelNames.begin(), LabelNames.end(), name);
  const int32_t k = found == LabelNames.end() ? -1 : static_cast<int32_t>(found - LabelNames.begin());
  // The first label instruction with that number, searched up to the end instruction.
  const int32_t size = static_cast<int32_t>(ScriptCode.size());
  for (int32_t i = 0; i < size; ++i) {
    const ScriptInstruction& ins = ScriptCode[i];
    const uint8_t c = LowByte(ins.Code);
    if (c == op::Label && ins.P1 == k) {
      SearchWork += i;
      return i;
    }
    if (c == op::End) {
      SearchWork += i;
      return -1;
    }
  }
  SearchWork += size;
  ReportScriptFault(u"the search for label \"" + name + u"\" met no end instruction");
  return -1;
}

int32_t TForm1::LoadedCodeEnd() const {
  const int32_t size = static_cast<int32_t>(ScriptCode.size());
  for (int32_t i = 0; i < size; ++i)
    if (LowByte(ScriptCode[i].Code) == op::End) return i;
  return size;
}

}  // namespace mokuren
