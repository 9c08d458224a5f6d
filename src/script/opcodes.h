// The instruction codes of compiled scripts and the numbers of the system functions (code
// `op::SystemFunction`, function number in P1). This is the one table of them: the interpreter, the
// searches, the title menu, the assembler, the disassembler and the tests all take their numbers from here.
#pragma once

#include <cstdint>

namespace mokuren::op {

inline constexpr uint16_t Background = 16;
inline constexpr uint16_t Layer1 = 17;  // layers 1..5 are codes Layer1..Layer5
inline constexpr uint16_t Layer2 = 18;
inline constexpr uint16_t Layer3 = 19;
inline constexpr uint16_t Layer4 = 20;
inline constexpr uint16_t Layer5 = 21;
inline constexpr uint16_t Movie = 25;
inline constexpr uint16_t Show = 32;
inline constexpr uint16_t Bgm = 48;
inline constexpr uint16_t Se1 = 49;  // effect positions 1..3 are codes Se1..Se3
inline constexpr uint16_t Se2 = 50;
inline constexpr uint16_t Se3 = 51;
inline constexpr uint16_t Jump = 64;
inline constexpr uint16_t Call = 65;
inline constexpr uint16_t Label = 78;
inline constexpr uint16_t Return = 79;
inline constexpr uint16_t Let = 80;
inline constexpr uint16_t Add = 81;
inline constexpr uint16_t Sub = 82;
inline constexpr uint16_t Mul = 83;
inline constexpr uint16_t Div = 84;
inline constexpr uint16_t Mod = 85;
inline constexpr uint16_t Rand = 86;
inline constexpr uint16_t Message = 96;
inline constexpr uint16_t Choice = 104;
inline constexpr uint16_t IfEq = 112;
inline constexpr uint16_t IfNe = 113;
inline constexpr uint16_t IfLt = 114;
inline constexpr uint16_t IfGt = 115;
inline constexpr uint16_t IfLe = 116;
inline constexpr uint16_t IfGe = 117;
inline constexpr uint16_t Else = 126;
inline constexpr uint16_t EndOfBlock = 127;
inline constexpr uint16_t Wait = 128;
inline constexpr uint16_t SystemFunction = 136;
inline constexpr uint16_t SectionEnd = 143;
inline constexpr uint16_t End = 255;

// System functions: P1 of an `op::SystemFunction` instruction.
namespace sys {
inline constexpr int16_t Cursor = 1;
inline constexpr int16_t SystemMenu = 2;
inline constexpr int16_t AllowSkip = 3;
inline constexpr int16_t SectionSkip = 7;
inline constexpr int16_t Title = 101;
inline constexpr int16_t HeroName = 201;
inline constexpr int16_t StopVoice = 444;
}  // namespace sys

// P1 of an `op::Wait` that is not a time in milliseconds.
namespace wait {
inline constexpr int16_t Click = -1;
inline constexpr int16_t Movie = -6;
}  // namespace wait

}  // namespace mokuren::op
