#include "toolkit/scenario_opcodes.h"

#include <array>

namespace mokuren::toolkit {

namespace {

using K = OperandKind;
using F = Field;

constexpr OperandSpec kNone[] = {{K::Value, F::Value}};  // placeholder for empty spans
constexpr OperandSpec kImage[] = {{K::Image, F::Value}};
constexpr OperandSpec kLayer[] = {{K::Position, F::P1}, {K::Image, F::Value}};
constexpr OperandSpec kSound[] = {{K::Value, F::Value}, {K::Value, F::P1}, {K::Value, F::P2}};
constexpr OperandSpec kJump[] = {{K::Jump, F::P1}, {K::Value, F::Value}};
constexpr OperandSpec kLabel[] = {{K::Label, F::P1}};
constexpr OperandSpec kLet[] = {{K::Value, F::P1}, {K::Value, F::P2}};
constexpr OperandSpec kArith[] = {{K::Value, F::P1}, {K::Value, F::P2}, {K::Value, F::P3}};
constexpr OperandSpec kMessage[] = {{K::Message, F::P1}, {K::Voice, F::Value}, {K::Value, F::P2}};
constexpr OperandSpec kChoice[] = {{K::Message, F::P1}, {K::Value, F::P2}};
constexpr OperandSpec kBlock[] = {{K::Value, F::P1}};
constexpr OperandSpec kWait[] = {{K::WaitTime, F::P1}, {K::Value, F::P2}};
constexpr OperandSpec kSys[] = {{K::Value, F::P1}, {K::Value, F::P2}};
constexpr OperandSpec kSysArg[] = {{K::Value, F::P2}};

constexpr std::span<const OperandSpec> kEmpty(kNone, 0);

constexpr OpcodeSpec Op(std::string_view m, uint16_t code, std::span<const OperandSpec> ops) {
  return {m, code, 0, false, ops};
}
constexpr OpcodeSpec Sys(std::string_view m, int16_t function, std::span<const OperandSpec> ops) {
  return {m, 136, function, true, ops};
}

// Main mnemonics come first: the disassembler writes the first one that matches.
const std::array kOpcodes = {
    Op("bg", 16, kImage),
    Op("layer1", 17, kLayer), Op("layer2", 18, kLayer), Op("layer3", 19, kLayer),
    Op("layer4", 20, kLayer), Op("layer5", 21, kLayer),
    Op("movie", 25, kEmpty),
    Op("show", 32, kEmpty),
    Op("bgm", 48, kSound),
    Op("se1", 49, kSound), Op("se2", 50, kSound), Op("se3", 51, kSound),
    Op("jump", 64, kJump),
    Op("call", 65, kJump),
    Op("label", 78, kLabel),
    Op("return", 79, kEmpty),
    Op("let", 80, kLet),
    Op("add", 81, kArith), Op("sub", 82, kArith), Op("mul", 83, kArith), Op("div", 84, kArith),
    Op("mod", 85, kArith), Op("rand", 86, kArith),
    Op("msg", 96, kMessage),
    Op("choice", 104, kChoice),
    Op("ifeq", 112, kArith), Op("ifne", 113, kArith), Op("iflt", 114, kArith),
    Op("ifgt", 115, kArith), Op("ifle", 116, kArith), Op("ifge", 117, kArith),
    Op("else", 126, kBlock),
    Op("endif", 127, kBlock),
    Op("wait", 128, kWait),
    Sys("cursor", 1, kSysArg), Sys("sysmenu", 2, kSysArg), Sys("allowskip", 3, kSysArg),
    Sys("sectionskip", 7, kSysArg), Sys("title", 101, kEmpty), Sys("heroname", 201, kEmpty),
    Sys("stopvoice", 444, kEmpty),
    Op("sys", 136, kSys),
    Op("sectionend", 143, kEmpty),
    Op("end", 255, kEmpty),
    // Aliases.
    Op("se", 49, kSound),
};

}  // namespace

std::span<const OpcodeSpec> Opcodes() { return kOpcodes; }

const OpcodeSpec* FindOpcode(uint16_t code, int16_t p1) {
  for (const OpcodeSpec& op : kOpcodes) {
    if (op.code != code) continue;
    if (op.hasFixedP1 && op.fixedP1 != p1) continue;
    return &op;
  }
  return nullptr;
}

const OpcodeSpec* FindMnemonic(std::string_view mnemonic) {
  for (const OpcodeSpec& op : kOpcodes)
    if (op.mnemonic == mnemonic) return &op;
  return nullptr;
}

}  // namespace mokuren::toolkit
