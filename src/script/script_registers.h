// The current-instruction registers: the instruction at StepNo as the interpreter last fetched it, with
// its operands already resolved through the variable banks. The debug window's status line shows them.
#pragma once

#include <cstdint>

#include "script/ScriptInstruction.h"

namespace mokuren {

struct ScriptRegisters {
  ScriptInstruction Stored{};  // as stored: assignments write to the variable P1's field numbers
  uint16_t Code = 0;
  uint16_t Modes = 0;
  int16_t P1 = 0;
  int16_t P2 = 0;
  int16_t P3 = 0;
  int16_t P4 = 0;
  int32_t Value = 0;
  // The operand modes of P1, P2, P3, P4 and Value (0 = value, 1 F, 2 S, 3 W), in that order.
  uint8_t Mode[5] = {};
  bool NameFlag = false;
};

// Operand mode of operand `index` (0 P1, 1 P2, 2 P3, 3 P4, 4 Value) from an instruction's Modes field.
constexpr int OperandMode(uint16_t modes, int index) { return (modes >> (2 * index)) & 3; }

// The letter the debug window shows for a mode: F, S, W, or nothing for a plain value.
constexpr const char16_t* BankLetter(int mode) {
  switch (mode) {
    case kModeScenario: return u"F";
    case kModeSystem: return u"S";
    case kModeWork: return u"W";
    default: return u"";
  }
}

}  // namespace mokuren
