// The searches of compiled code that jumps, calls and blocks rely on, over any run of instructions, so the
// engine's loaded script and the tools that check a game search the same way. Both stop at the first end
// instruction: code after it is never reached.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/ScriptInstruction.h"

namespace mokuren {

struct CodeSearch {
  int32_t step = -1;      // the instruction found, or -1
  int32_t scanned = 0;    // instructions looked at before the search stopped
  bool noEndMet = false;  // the code ran out before an end instruction
};

// The next else or end-of-block marker with stored P1 equal to `key`, from instruction `first` on.
CodeSearch FindBlockMarker(std::span<const ScriptInstruction> code, int32_t first, int32_t key);
// The first label instruction whose stored P1 is `labelIndex`.
CodeSearch FindLabelInstruction(std::span<const ScriptInstruction> code, int32_t labelIndex);
// The line of the label table that a jump to `name` uses: the first that equals it exactly, or -1.
int32_t LabelIndex(const std::vector<std::u16string>& labelNames, std::u16string_view name);
// The index of the first end instruction, or the code's size when it has none.
int32_t CodeEnd(std::span<const ScriptInstruction> code);

}  // namespace mokuren
