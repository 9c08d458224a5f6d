// The mnemonics of the scenario language, one per instruction code, shared by the assembler and the
// disassembler so that the two cannot drift apart.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace mokuren::toolkit {

// Where an operand goes and how it is written.
enum class OperandKind : uint8_t {
  Value,     // a number or a variable (F5, S451, W1)
  Message,   // message table line: "text" (a new line) or #n
  Voice,     // resource table line of a voice: "name", a number or a variable; omitted = -1 (none)
  Image,     // "name" (resource line, NameFlag), #n (resource line, NameFlag) or an entry number/variable
  Position,  // left / center / right or a number/variable
  Label,     // label table line: name or #n
  Jump,      // jump-name table line: name or #n
  WaitTime,  // click (-1) / movie (-6) or a number/variable
};

enum class Field : uint8_t { P1, P2, P3, P4, Value };

struct OperandSpec {
  OperandKind kind;
  Field field;
};

struct OpcodeSpec {
  std::string_view mnemonic;
  uint16_t code;
  int16_t fixedP1;  // system functions (136) fix P1 by mnemonic; 0 otherwise
  bool hasFixedP1;
  std::span<const OperandSpec> operands;
};

// Every mnemonic (aliases after the main one of the same code).
std::span<const OpcodeSpec> Opcodes();
// The main mnemonic of an instruction; nullptr when the code has none (written raw).
const OpcodeSpec* FindOpcode(uint16_t code, int16_t p1);
const OpcodeSpec* FindMnemonic(std::string_view mnemonic);

inline constexpr int FieldModeShift(Field f) { return 2 * static_cast<int>(f); }

}  // namespace mokuren::toolkit
