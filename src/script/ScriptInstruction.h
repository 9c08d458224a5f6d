// One compiled script instruction, 16 bytes little-endian, as stored in SCRIPT.DAT.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mokuren {

struct ScriptInstruction {
  uint16_t Code;   // opcode; the label, else and end searches compare only its low byte
  uint16_t Modes;  // 2 bits per operand: P1 bits 0-1, P2 2-3, P3 4-5, P4 6-7, Value 8-9; bit 15 NameFlag
  int16_t P1;
  int16_t P2;
  int16_t P3;
  int16_t P4;
  int32_t Value;
};

static_assert(sizeof(ScriptInstruction) == 16);
static_assert(offsetof(ScriptInstruction, Modes) == 2);
static_assert(offsetof(ScriptInstruction, P1) == 4);
static_assert(offsetof(ScriptInstruction, P4) == 10);
static_assert(offsetof(ScriptInstruction, Value) == 12);

inline constexpr uint16_t kNameFlag = 0x8000;
inline constexpr int kMaxInstructions = 65536;  // ScriptCode holds 1 MiB
inline constexpr int kMaxCodeBytes = kMaxInstructions * 16;
inline constexpr int kResourceNameArraySize = 10000;

// Operand modes.
inline constexpr int kModeValue = 0;
inline constexpr int kModeScenario = 1;  // F
inline constexpr int kModeSystem = 2;    // S
inline constexpr int kModeWork = 3;      // W

}  // namespace mokuren
