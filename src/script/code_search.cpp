#include "script/code_search.h"

#include <algorithm>

#include "script/opcodes.h"

namespace mokuren {

namespace {

// The searches compare only the low byte of an instruction's code.
uint8_t LowByte(uint16_t code) { return static_cast<uint8_t>(code & 0xFF); }

template <typename Match>
CodeSearch Search(std::span<const ScriptInstruction> code, int32_t first, Match match) {
  const int32_t size = static_cast<int32_t>(code.size());
  for (int32_t i = first; i < size; ++i) {
    const ScriptInstruction& ins = code[static_cast<size_t>(i)];
    if (match(ins)) return {i, i - first, false};
    if (LowByte(ins.Code) == op::End) return {-1, i - first, false};
  }
  return {-1, std::max(size - first, 0), true};
}

}  // namespace

CodeSearch FindBlockMarker(std::span<const ScriptInstruction> code, int32_t first, int32_t key) {
  return Search(code, first, [key](const ScriptInstruction& ins) {
    const uint8_t c = LowByte(ins.Code);
    return (c == op::Else || c == op::EndOfBlock) && ins.P1 == key;
  });
}

CodeSearch FindLabelInstruction(std::span<const ScriptInstruction> code, int32_t labelIndex) {
  return Search(code, 0, [labelIndex](const ScriptInstruction& ins) {
    return LowByte(ins.Code) == op::Label && ins.P1 == labelIndex;
  });
}

int32_t LabelIndex(const std::vector<std::u16string>& labelNames, std::u16string_view name) {
  auto found = std::find(labelNames.begin(), labelNames.end(), name);
  return found == labelNames.end() ? -1 : static_cast<int32_t>(found - labelNames.begin());
}

int32_t CodeEnd(std::span<const ScriptInstruction> code) {
  for (size_t i = 0; i < code.size(); ++i)
    if (LowByte(code[i].Code) == op::End) return static_cast<int32_t>(i);
  return static_cast<int32_t>(code.size());
}

}  // namespace mokuren
