#include "toolkit/scenario_disassembler.h"

#include <cctype>
#include <stdexcept>

#include "base/text_codec.h"
#include "script/opcodes.h"
#include "toolkit/scenario_assembler.h"
#include "toolkit/scenario_opcodes.h"

namespace mokuren::toolkit {

namespace {

const char* const kTableWords[kScriptTableCount] = {"labels", "jumps", "resources", "messages"};

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

std::string HexBytes(std::string_view bytes) {
  static const char* kDigits = "0123456789abcdef";
  std::string out;
  for (char c : bytes) {
    auto b = static_cast<uint8_t>(c);
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
  }
  return out;
}

struct TableView {
  std::vector<std::string> lines;  // UTF-8
  bool canonical = false;          // the lines re-encode to exactly the stored bytes
};

TableView ViewTable(const ScriptTable& table) {
  TableView view;
  std::string again;
  bool ok = true;
  for (const std::string& raw : SplitLines(table.bytes)) {
    view.lines.push_back(ToUtf8(Cp932ToUtf16(raw)));
    bool lineOk = true;
    again += Utf16ToCp932(FromUtf8(view.lines.back()), &lineOk) + "\r\n";
    ok = ok && lineOk;
  }
  view.canonical = ok && again == table.bytes && table.storedSize == static_cast<int32_t>(table.bytes.size());
  return view;
}

int FieldMode(const ScriptInstruction& ins, Field f) { return (ins.Modes >> FieldModeShift(f)) & 3; }
int32_t FieldValue(const ScriptInstruction& ins, Field f) {
  switch (f) {
    case Field::P1: return ins.P1;
    case Field::P2: return ins.P2;
    case Field::P3: return ins.P3;
    case Field::P4: return ins.P4;
    case Field::Value: return ins.Value;
  }
  return 0;
}

std::string ValueText(const ScriptInstruction& ins, Field f) {
  static const char kLetters[] = {'?', 'F', 'S', 'W'};
  const int mode = FieldMode(ins, f);
  const int32_t v = FieldValue(ins, f);
  if (mode == 0) return std::to_string(v);
  return std::string(1, kLetters[mode]) + std::to_string(v);
}

bool IsPlainName(const std::string& s) {
  if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) return false;
  for (char c : s)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

class Printer {
 public:
  Printer(const std::array<TableView, kScriptTableCount>& tables, bool inlineText)
      : tables_(tables), inline_(inlineText) {}

  // The line for one instruction; raw when the mnemonic form does not reproduce it.
  std::string Line(const ScriptInstruction& ins) {
    std::string text = Pretty(ins, false);
    if (!text.empty() && Reproduces(text, ins)) return inline_ ? Pretty(ins, true) : text;
    return Raw(ins);
  }

 private:
  static std::string Raw(const ScriptInstruction& ins) {
    return "raw " + std::to_string(ins.Code) + ", " + std::to_string(ins.Modes) + ", " + std::to_string(ins.P1) + ", " +
           std::to_string(ins.P2) + ", " + std::to_string(ins.P3) + ", " + std::to_string(ins.P4) + ", " +
           std::to_string(ins.Value);
  }

  // Assembles the line alone (it then refers to table lines by number only) and compares.
  static bool Reproduces(const std::string& text, const ScriptInstruction& ins) {
    AssemblyResult r = AssembleScenario(text + "\n.noend\n", "check");
    if (!r.ok() || r.image.code.size() != 1) return false;
    const ScriptInstruction& got = r.image.code[0];
    return got.Code == ins.Code && got.Modes == ins.Modes && got.P1 == ins.P1 && got.P2 == ins.P2 && got.P3 == ins.P3 &&
           got.P4 == ins.P4 && got.Value == ins.Value;
  }

  // The line as text when `withText` and the table line exists; otherwise "#n".
  std::string TableRef(ScriptTableKind kind, const ScriptInstruction& ins, Field f, bool withText, bool asName) {
    const int mode = FieldMode(ins, f);
    const int32_t v = FieldValue(ins, f);
    const auto& lines = tables_[static_cast<int>(kind)].lines;
    if (withText && mode == 0 && v >= 0 && static_cast<size_t>(v) < lines.size()) {
      const std::string& s = lines[static_cast<size_t>(v)];
      return asName && IsPlainName(s) ? s : Quote(s);
    }
    return "#" + ValueText(ins, f);
  }

  std::string Operand(const OperandSpec& shape, const ScriptInstruction& ins, bool withText) {
    switch (shape.kind) {
      case OperandKind::Value: return ValueText(ins, shape.field);
      case OperandKind::Position:
        if (FieldMode(ins, shape.field) == 0 && FieldValue(ins, shape.field) >= 0 &&
            FieldValue(ins, shape.field) <= 3) {
          static const char* const kPositions[] = {"keep", "left", "center", "right"};
          return kPositions[FieldValue(ins, shape.field)];
        }
        return ValueText(ins, shape.field);
      case OperandKind::WaitTime:
        if (FieldMode(ins, shape.field) == 0 && FieldValue(ins, shape.field) == op::wait::Click) return "click";
        if (FieldMode(ins, shape.field) == 0 && FieldValue(ins, shape.field) == op::wait::Movie) return "movie";
        return ValueText(ins, shape.field);
      case OperandKind::Message: return TableRef(ScriptTableKind::Messages, ins, shape.field, withText, false);
      case OperandKind::Label: return TableRef(ScriptTableKind::Labels, ins, shape.field, withText, true);
      case OperandKind::Jump: return TableRef(ScriptTableKind::Jumps, ins, shape.field, withText, true);
      case OperandKind::Voice:
        if (FieldMode(ins, shape.field) == 0 && FieldValue(ins, shape.field) == -1) return "none";
        if (withText && FieldMode(ins, shape.field) == 0) {
          std::string ref = TableRef(ScriptTableKind::Resources, ins, shape.field, true, false);
          if (ref[0] == '"') return ref;
        }
        return ValueText(ins, shape.field);
      case OperandKind::Image:
        if (ins.Modes & kNameFlag) return TableRef(ScriptTableKind::Resources, ins, shape.field, withText, false);
        return ValueText(ins, shape.field);
    }
    return "?";
  }

  // Operands that equal what an omitted operand assembles to are left off the end.
  static bool IsDefault(const OperandSpec& shape, const ScriptInstruction& ins) {
    if (FieldMode(ins, shape.field) != 0) return false;
    const int32_t v = FieldValue(ins, shape.field);
    if (shape.kind == OperandKind::Voice) return v == -1;
    if (shape.kind == OperandKind::Value || shape.kind == OperandKind::Position || shape.kind == OperandKind::WaitTime)
      return v == 0;
    return false;
  }

  std::string Pretty(const ScriptInstruction& ins, bool withText) {
    const bool p1Plain = (ins.Modes & 3) == 0;
    static const char* const kCompare[] = {"==", "!=", "<", ">", "<=", ">="};
    if (ins.Code >= op::IfEq && ins.Code <= op::IfGe && p1Plain)
      return "if[" + std::to_string(ins.P1) + "] " + ValueText(ins, Field::P2) + " " + kCompare[ins.Code - op::IfEq] +
             " " + ValueText(ins, Field::P3);
    if ((ins.Code == op::Else || ins.Code == op::EndOfBlock) && p1Plain)
      return std::string(ins.Code == op::Else ? "else[" : "endif[") + std::to_string(ins.P1) + "]";
    if (ins.Code == op::Label && p1Plain && withText) {
      std::string ref = TableRef(ScriptTableKind::Labels, ins, Field::P1, true, true);
      if (ref[0] != '#') return "*" + ref;
    }
    if (ins.Code >= op::Let && ins.Code <= op::Rand && !p1Plain) {
      const std::string target = ValueText(ins, Field::P1) + " = ";
      if (ins.Code == op::Let) return target + ValueText(ins, Field::P2);
      if (ins.Code == op::Rand)
        return target + "random " + ValueText(ins, Field::P2) + ", " + ValueText(ins, Field::P3);
      static const char* const kOperators[] = {"+", "-", "*", "/", "%"};
      return target + ValueText(ins, Field::P2) + " " + kOperators[ins.Code - 81] + " " + ValueText(ins, Field::P3);
    }
    const OpcodeSpec* shape = FindOpcode(ins.Code, p1Plain ? ins.P1 : INT16_MIN);
    if (!shape) return {};
    size_t count = shape->operands.size();
    // A system function keeps its one argument even when it is 0: "sysmenu 0" reads better than "sysmenu".
    const size_t keep = shape->hasFixedP1 ? count : 0;
    while (count > keep && IsDefault(shape->operands[count - 1], ins)) --count;
    std::string text(shape->mnemonic);
    for (size_t i = 0; i < count; ++i) text += (i == 0 ? " " : ", ") + Operand(shape->operands[i], ins, withText);
    return text;
  }

  const std::array<TableView, kScriptTableCount>& tables_;
  bool inline_;
};

std::string Render(const ScriptImage& image, const std::array<TableView, kScriptTableCount>& tables, bool inlineText) {
  std::string out;
  bool headerUsed = false;
  for (uint8_t b : image.header) headerUsed = headerUsed || b != 0;
  if (headerUsed)
    out += ".header " + HexBytes(std::string_view(reinterpret_cast<const char*>(image.header.data()), 16)) + "\n";
  if (image.code.empty() || image.code.back().Code != op::End) out += ".noend\n";
  if (!inlineText) {
    for (int k = 0; k < kScriptTableCount; ++k) {
      const ScriptTable& table = image.tables[k];
      if (tables[k].canonical) {
        for (const std::string& line : tables[k].lines)
          out += std::string(".table ") + kTableWords[k] + " " + Quote(line) + "\n";
      } else if (!table.bytes.empty()) {
        out += std::string(".tablebytes ") + kTableWords[k] + " " + HexBytes(table.bytes) + "\n";
      } else {
        out += std::string(".tablesize ") + kTableWords[k] + " " + std::to_string(table.storedSize) + "\n";
      }
    }
  }
  if (!out.empty()) out += "\n";
  Printer printer(tables, inlineText);
  int depth = 0;
  for (size_t i = 0; i < image.code.size(); ++i) {
    const ScriptInstruction& ins = image.code[i];
    // The last end instruction is implied by the assembler; the rest are written out.
    if (i + 1 == image.code.size() && ins.Code == op::End && ins.Modes == 0 && ins.P1 == 0 && ins.P2 == 0 &&
        ins.P3 == 0 && ins.P4 == 0 && ins.Value == 0 && (i == 0 || image.code[i - 1].Code != op::End))
      break;
    std::string line = printer.Line(ins);
    if (line.rfind("else[", 0) == 0 || line.rfind("endif[", 0) == 0) depth = std::max(depth - 1, 0);
    out += std::string(2 * static_cast<size_t>(depth), ' ') + line + "\n";
    if (line.rfind("if[", 0) == 0 || line.rfind("else[", 0) == 0) ++depth;
  }
  if (!image.trailer.empty()) out += ".trailer " + HexBytes(image.trailer) + "\n";
  return out;
}

}  // namespace

std::string DisassembleScript(const ScriptImage& image) {
  std::array<TableView, kScriptTableCount> tables;
  for (int k = 0; k < kScriptTableCount; ++k) tables[k] = ViewTable(image.tables[k]);
  const std::string shape = EncodeScriptImage(image);
  // Inline texts read best; they are kept when they rebuild the very same tables.
  std::string text = Render(image, tables, true);
  AssemblyResult r = AssembleScenario(text, "disassembly");
  if (r.ok() && EncodeScriptImage(r.image) == shape) return text;
  return Render(image, tables, false);
}

std::string DisassembleEntry(std::string_view entry) {
  ScriptImage image;
  std::vector<std::string> problems;
  ParseScriptImage(entry, image, problems);
  if (!problems.empty()) {
    std::string all = "not a well-formed script:";
    for (const std::string& p : problems) all += "\n  " + p;
    throw std::runtime_error(all);
  }
  return DisassembleScript(image);
}

}  // namespace mokuren::toolkit
