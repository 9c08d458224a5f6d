#include "toolkit/scenario_opcodes.h"

#include <array>

#include "script/opcodes.h"

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
  return {m, op::SystemFunction, function, true, ops};
}

// Main mnemonics come first: the disassembler writes the first one that matches.
const std::array kOpcodes = {
    Op("bg", op::Background, kImage),
    Op("layer1", op::Layer1, kLayer),
    Op("layer2", op::Layer2, kLayer),
    Op("layer3", op::Layer3, kLayer),
    Op("layer4", op::Layer4, kLayer),
    Op("layer5", op::Layer5, kLayer),
    Op("movie", op::Movie, kEmpty),
    Op("show", op::Show, kEmpty),
    Op("bgm", op::Bgm, kSound),
    Op("se1", op::Se1, kSound),
    Op("se2", op::Se2, kSound),
    Op("se3", op::Se3, kSound),
    Op("jump", op::Jump, kJump),
    Op("call", op::Call, kJump),
    Op("label", op::Label, kLabel),
    Op("return", op::Return, kEmpty),
    Op("let", op::Let, kLet),
    Op("add", op::Add, kArith),
    Op("sub", op::Sub, kArith),
    Op("mul", op::Mul, kArith),
    Op("div", op::Div, kArith),
    Op("mod", op::Mod, kArith),
    Op("rand", op::Rand, kArith),
    Op("msg", op::Message, kMessage),
    Op("choice", op::Choice, kChoice),
    Op("ifeq", op::IfEq, kArith),
    Op("ifne", op::IfNe, kArith),
    Op("iflt", op::IfLt, kArith),
    Op("ifgt", op::IfGt, kArith),
    Op("ifle", op::IfLe, kArith),
    Op("ifge", op::IfGe, kArith),
    Op("else", op::Else, kBlock),
    Op("endif", op::EndOfBlock, kBlock),
    Op("wait", op::Wait, kWait),
    Sys("cursor", op::sys::Cursor, kSysArg),
    Sys("sysmenu", op::sys::SystemMenu, kSysArg),
    Sys("allowskip", op::sys::AllowSkip, kSysArg),
    Sys("sectionskip", op::sys::SectionSkip, kSysArg),
    Sys("title", op::sys::Title, kEmpty),
    Sys("heroname", op::sys::HeroName, kEmpty),
    Sys("stopvoice", op::sys::StopVoice, kEmpty),
    Op("sys", op::SystemFunction, kSys),
    Op("sectionend", op::SectionEnd, kEmpty),
    Op("end", op::End, kEmpty),
    // Aliases.
    Op("se", op::Se1, kSound),
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
