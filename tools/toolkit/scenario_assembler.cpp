// The scenario assembler: one statement per line, compiled in order into instructions; the four string
// tables are filled as texts and names are met (or declared explicitly with .table).
#include "toolkit/scenario_assembler.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <optional>
#include <set>

#include "base/text_codec.h"
#include "script/opcodes.h"
#include "toolkit/cp932_fit.h"
#include "toolkit/scenario_opcodes.h"
#include "toolkit/suggestion.h"

namespace mokuren::toolkit {

namespace {

constexpr size_t kMaxErrors = 50;

enum class TokType : uint8_t { Word, Number, String, Punct };

struct Token {
  TokType type;
  std::string text;  // a string token holds its unescaped contents
  int col;
};

struct Line {
  int number;
  std::vector<Token> tokens;
};

bool IsWordByte(unsigned char c) { return std::isalnum(c) || c == '_' || c == '.' || c >= 0x80; }

// Column numbers count characters, not bytes, so that they match what an editor shows.
int ColumnOf(std::string_view line, size_t byte) {
  int col = 1;
  for (size_t i = 0; i < byte && i < line.size(); ++i)
    if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++col;
  return col;
}

struct Fault {
  int line;
  int col;
  std::string message;
};

bool Tokenize(std::string_view text, int lineNo, Line& out, std::vector<Fault>& faults) {
  out.number = lineNo;
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && text[i] == '#') return true;  // a comment line
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    int col = ColumnOf(text, i);
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == ';' || (c == '/' && i + 1 < text.size() && text[i + 1] == '/')) {
      break;
    } else if (c == '"') {
      std::string s;
      ++i;
      bool closed = false;
      while (i < text.size()) {
        char d = text[i];
        if (d == '"') {
          closed = true;
          ++i;
          break;
        }
        if (d == '\\') {
          if (i + 1 >= text.size() || (text[i + 1] != '"' && text[i + 1] != '\\')) {
            faults.push_back({lineNo, ColumnOf(text, i), "unknown escape in a string (only \\\" and \\\\)"});
            return false;
          }
          s.push_back(text[i + 1]);
          i += 2;
          continue;
        }
        s.push_back(d);
        ++i;
      }
      if (!closed) {
        faults.push_back({lineNo, col, "string without its closing quote"});
        return false;
      }
      out.tokens.push_back({TokType::String, std::move(s), col});
    } else if (IsWordByte(c)) {
      size_t b = i;
      while (i < text.size() && IsWordByte(static_cast<unsigned char>(text[i]))) ++i;
      std::string w(text.substr(b, i - b));
      out.tokens.push_back({std::isdigit(c) ? TokType::Number : TokType::Word, std::move(w), col});
    } else {
      static const char* kTwo[] = {"==", "!=", "<=", ">="};
      std::string p(1, static_cast<char>(c));
      for (const char* two : kTwo)
        if (text.substr(i, 2) == two) p = two;
      if (std::string_view("=!<>+-*/%,#[]()").find(static_cast<char>(c)) == std::string_view::npos) {
        faults.push_back({lineNo, col, std::string("unexpected character '") + static_cast<char>(c) + "'"});
        return false;
      }
      i += p.size();
      out.tokens.push_back({TokType::Punct, std::move(p), col});
    }
  }
  return true;
}

std::optional<int64_t> ParseInteger(std::string_view s) {
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  int64_t v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
  if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
  return v;
}

// A variable reference: F, S or W and a number, as the debug window shows them.
std::optional<std::pair<int, int64_t>> ParseVariable(std::string_view w) {
  if (w.size() < 2) return std::nullopt;
  int mode = 0;
  switch (w[0]) {
    case 'F':
    case 'f': mode = kModeScenario; break;
    case 'S':
    case 's': mode = kModeSystem; break;
    case 'W':
    case 'w': mode = kModeWork; break;
    default: return std::nullopt;
  }
  for (char c : w.substr(1))
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
  auto n = ParseInteger(w.substr(1));
  if (!n) return std::nullopt;
  return std::make_pair(mode, *n);
}

struct Operand {
  enum Type { Number, Variable, String, Word, Ref } type = Number;
  int64_t number = 0;
  int mode = 0;      // for variables (and refs to variables)
  std::string text;  // strings and words (and a variable's spelling, which names can share)
  bool refToVariable = false;
  int col = 0;
};

struct TableBuild {
  std::vector<std::string> lines;  // UTF-8
  std::vector<std::pair<int, int>> where;
  bool raw = false;
  std::string rawBytes;
  std::optional<int32_t> storedSize;
};

class Assembler {
 public:
  Assembler(std::string_view source, std::string fileName) : source_(source), file_(std::move(fileName)) {}

  AssemblyResult Run() {
    std::vector<Line> lines;
    size_t start = 0;
    int lineNo = 0;
    while (start <= source_.size()) {
      size_t end = source_.find('\n', start);
      if (end == std::string_view::npos) end = source_.size();
      ++lineNo;
      Line line;
      std::string_view text = source_.substr(start, end - start);
      if (lineNo == 1 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a BOM
      if (Tokenize(text, lineNo, line, faults_) && !line.tokens.empty()) lines.push_back(std::move(line));
      start = end + 1;
    }
    CollectExplicitBlocks(lines);
    for (const Line& line : lines) {
      if (faults_.size() >= kMaxErrors) break;
      line_ = line.number;
      statementCol_ = line.tokens.front().col;
      Statement(line.tokens);
    }
    for (const auto& open : blocks_)
      if (open.automatic && !open.chained) faults_.push_back({open.line, open.col, "if without endif"});
    Finish();
    AssemblyResult result;
    for (const Fault& f : faults_)
      result.errors.push_back(file_ + ":" + std::to_string(f.line) + ":" + std::to_string(f.col) + ": " + f.message);
    result.image = std::move(image_);
    result.positions = std::move(positions_);
    return result;
  }

 private:
  struct OpenBlock {
    int64_t number;
    bool automatic;
    int line;
    int col;
    bool chained = false;  // opened by elseif: its endif also closes the block below it
  };

  void Fail(int col, std::string message) { faults_.push_back({line_, col, std::move(message)}); }

  // Block numbers written out anywhere in the file are never handed out to an unnumbered if.
  void CollectExplicitBlocks(const std::vector<Line>& lines) {
    for (const Line& line : lines) {
      const auto& t = line.tokens;
      if (t.size() >= 4 && t[0].type == TokType::Word && t[1].text == "[" && t[2].type == TokType::Number)
        if (auto n = ParseInteger(t[2].text)) usedBlocks_.insert(*n);
      if (t.size() >= 2 && t[0].type == TokType::Word && t[1].type == TokType::Number) {
        static const std::set<std::string> kBlockOps = {"ifeq", "ifne", "iflt", "ifgt",
                                                        "ifle", "ifge", "else", "endif"};
        if (kBlockOps.count(t[0].text))
          if (auto n = ParseInteger(t[1].text)) usedBlocks_.insert(*n);
      }
    }
  }

  int64_t NextAutoBlock() {
    while (usedBlocks_.count(nextBlock_)) ++nextBlock_;
    usedBlocks_.insert(nextBlock_);
    return nextBlock_++;
  }

  // ---- operands ----

  // Reads one operand at tokens[pos]; advances pos.
  std::optional<Operand> ReadOperand(const std::vector<Token>& t, size_t& pos) {
    if (pos >= t.size()) {
      Fail(t.empty() ? 1 : t.back().col, "an operand is missing");
      return std::nullopt;
    }
    Operand op;
    op.col = t[pos].col;
    if (t[pos].type == TokType::Punct && t[pos].text == "#") {
      ++pos;
      auto inner = ReadOperand(t, pos);
      if (!inner) return std::nullopt;
      if (inner->type != Operand::Number && inner->type != Operand::Variable) {
        Fail(inner->col, "# must be followed by a table line number or a variable");
        return std::nullopt;
      }
      inner->col = op.col;
      inner->refToVariable = inner->type == Operand::Variable;
      inner->type = Operand::Ref;
      return inner;
    }
    bool negative = false;
    if (t[pos].type == TokType::Punct && t[pos].text == "-") {
      negative = true;
      ++pos;
      if (pos >= t.size() || t[pos].type != TokType::Number) {
        Fail(op.col, "a number must follow '-'");
        return std::nullopt;
      }
    }
    const Token& tok = t[pos++];
    switch (tok.type) {
      case TokType::Number: {
        auto v = ParseInteger(tok.text);
        if (!v) {
          Fail(tok.col, "'" + tok.text + "' is not a number");
          return std::nullopt;
        }
        op.type = Operand::Number;
        op.number = negative ? -*v : *v;
        return op;
      }
      case TokType::String:
        op.type = Operand::String;
        op.text = tok.text;
        return op;
      case TokType::Word:
        if (auto var = ParseVariable(tok.text)) {
          op.type = Operand::Variable;
          op.mode = var->first;
          op.number = var->second;
          op.text = tok.text;
        } else {
          op.type = Operand::Word;
          op.text = tok.text;
        }
        return op;
      case TokType::Punct: break;
    }
    Fail(tok.col, "unexpected '" + tok.text + "' where an operand belongs");
    return std::nullopt;
  }

  // Comma-separated operands up to the end of the line.
  std::optional<std::vector<Operand>> ReadOperandList(const std::vector<Token>& t, size_t pos) {
    std::vector<Operand> ops;
    if (pos >= t.size()) return ops;
    for (;;) {
      auto op = ReadOperand(t, pos);
      if (!op) return std::nullopt;
      ops.push_back(*op);
      if (pos >= t.size()) return ops;
      if (t[pos].type != TokType::Punct || t[pos].text != ",") {
        Fail(t[pos].col, "expected ',' before '" + t[pos].text + "'");
        return std::nullopt;
      }
      ++pos;
    }
  }

  bool Store(ScriptInstruction& ins, Field field, int64_t value, int mode, int col) {
    if (field == Field::Value) {
      if (value < INT32_MIN || value > INT32_MAX) {
        Fail(col, std::to_string(value) + " does not fit in 32 bits");
        return false;
      }
      ins.Value = static_cast<int32_t>(static_cast<uint32_t>(value));
    } else {
      if (value < INT16_MIN || value > INT16_MAX) {
        Fail(col, std::to_string(value) + " does not fit in 16 bits (-32768 to 32767)");
        return false;
      }
      auto v = static_cast<int16_t>(static_cast<uint16_t>(value));
      switch (field) {
        case Field::P1: ins.P1 = v; break;
        case Field::P2: ins.P2 = v; break;
        case Field::P3: ins.P3 = v; break;
        case Field::P4: ins.P4 = v; break;
        case Field::Value: break;
      }
    }
    ins.Modes = static_cast<uint16_t>((ins.Modes & ~(3u << FieldModeShift(field))) | (mode << FieldModeShift(field)));
    return true;
  }

  // Stores a plain number or variable.
  bool StoreValue(ScriptInstruction& ins, Field field, const Operand& op) {
    if (op.type == Operand::Number) return Store(ins, field, op.number, kModeValue, op.col);
    if (op.type == Operand::Variable || (op.type == Operand::Ref && op.refToVariable))
      return Store(ins, field, op.number, op.mode, op.col);
    if (op.type == Operand::Ref) return Store(ins, field, op.number, kModeValue, op.col);
    Fail(op.col, "expected a number or a variable (F5, S451, W1)");
    return false;
  }

  int64_t Allocate(ScriptTableKind kind, const std::string& text, bool reuse, int col) {
    TableBuild& table = tables_[static_cast<int>(kind)];
    if (table.raw) {
      Fail(col, std::string("the ") + ScriptTableName(kind) + " table is given as raw bytes; refer to its lines by #n");
      return 0;
    }
    if (text.find_first_of("\r\n") != std::string::npos) {
      Fail(col, "a table string cannot hold a line break");
      return 0;
    }
    if (reuse) {
      auto it = std::find(table.lines.begin(), table.lines.end(), text);
      if (it != table.lines.end()) return it - table.lines.begin();
    }
    table.lines.push_back(text);
    table.where.emplace_back(line_, col);
    const size_t limit = kind == ScriptTableKind::Resources ? kMaxResourceNames : 32768;
    if (table.lines.size() > limit) Fail(col, std::string("too many lines in the ") + ScriptTableName(kind) + " table");
    return static_cast<int64_t>(table.lines.size()) - 1;
  }

  bool StoreOperand(ScriptInstruction& ins, const OperandSpec& shape, const Operand& op) {
    auto fromTable = [&](ScriptTableKind kind, bool reuse) {
      // Label and jump names are names even when they look like variables; #F1 names a variable.
      const bool nameWord =
          op.type == Operand::Word || (op.type == Operand::Variable && kind != ScriptTableKind::Messages);
      if (op.type == Operand::String || (nameWord && kind != ScriptTableKind::Messages))
        return Store(ins, shape.field, Allocate(kind, op.text, reuse, op.col), kModeValue, op.col);
      if (op.type == Operand::Ref || (op.type == Operand::Variable && kind == ScriptTableKind::Messages) ||
          (op.type == Operand::Number && kind == ScriptTableKind::Messages))
        return StoreValue(ins, shape.field, op);
      Fail(op.col, std::string("expected a ") + ScriptTableName(kind) + " (text or #n)");
      return false;
    };
    switch (shape.kind) {
      case OperandKind::Value: return StoreValue(ins, shape.field, op);
      case OperandKind::Message: return fromTable(ScriptTableKind::Messages, false);
      case OperandKind::Label: return fromTable(ScriptTableKind::Labels, true);
      case OperandKind::Jump: return fromTable(ScriptTableKind::Jumps, true);
      case OperandKind::Voice:
        if (op.type == Operand::Word && op.text == "none") return Store(ins, shape.field, -1, kModeValue, op.col);
        if (op.type == Operand::String || op.type == Operand::Word)
          return Store(ins, shape.field, Allocate(ScriptTableKind::Resources, op.text, true, op.col), kModeValue,
                       op.col);
        return StoreValue(ins, shape.field, op);
      case OperandKind::Image:
        if (op.type == Operand::String || op.type == Operand::Word) {
          ins.Modes |= kNameFlag;
          return Store(ins, shape.field, Allocate(ScriptTableKind::Resources, op.text, true, op.col), kModeValue,
                       op.col);
        }
        if (op.type == Operand::Ref) ins.Modes |= kNameFlag;
        return StoreValue(ins, shape.field, op);
      case OperandKind::Position:
        if (op.type == Operand::Word) {
          static const std::map<std::string, int> kPos = {{"keep", 0}, {"left", 1}, {"center", 2}, {"right", 3}};
          auto it = kPos.find(op.text);
          if (it == kPos.end()) {
            Fail(op.col, "a position is left, center, right, keep or a number");
            return false;
          }
          return Store(ins, shape.field, it->second, kModeValue, op.col);
        }
        return StoreValue(ins, shape.field, op);
      case OperandKind::WaitTime:
        if (op.type == Operand::Word) {
          if (op.text == "click") return Store(ins, shape.field, op::wait::Click, kModeValue, op.col);
          if (op.text == "movie") return Store(ins, shape.field, op::wait::Movie, kModeValue, op.col);
          Fail(op.col, "a wait is a time in ms, click, movie or a variable");
          return false;
        }
        return StoreValue(ins, shape.field, op);
    }
    return false;
  }

  void Emit(const ScriptInstruction& ins) {
    if (image_.code.size() >= static_cast<size_t>(kMaxInstructions)) {
      if (!tooLong_) Fail(1, "the script has more than 65,536 instructions");
      tooLong_ = true;
      return;
    }
    image_.code.push_back(ins);
    positions_.push_back({line_, statementCol_});
  }

  // ---- statements ----

  void Statement(const std::vector<Token>& t) {
    const Token& first = t[0];
    if (first.type == TokType::Punct && first.text == "*") {
      if (t.size() != 2 || (t[1].type != TokType::Word && t[1].type != TokType::String)) {
        Fail(first.col, "a label is written *name");
        return;
      }
      ScriptInstruction ins{op::Label, 0, 0, 0, 0, 0, 0};
      Store(ins, Field::P1, Allocate(ScriptTableKind::Labels, t[1].text, true, t[1].col), 0, t[1].col);
      Emit(ins);
      return;
    }
    if (first.type != TokType::Word) {
      Fail(first.col, "a statement starts with a mnemonic, a variable or *label");
      return;
    }
    if (first.text[0] == '.') return Directive(t);
    if (t.size() >= 2 && t[1].type == TokType::Punct && t[1].text == "=" && ParseVariable(first.text))
      return Assignment(t);
    if (first.text == "if") return If(t);
    if (first.text == "elseif") return ElseIf(t);
    if ((first.text == "else" || first.text == "endif") && (t.size() == 1 || t[1].text == "[")) return ElseEndif(t);
    if (first.text == "raw") return Raw(t);
    const OpcodeSpec* shape = FindMnemonic(first.text);
    if (!shape) {
      std::vector<std::string> known = {"if", "elseif", "else", "endif", "raw"};
      for (const OpcodeSpec& opcode : Opcodes()) known.emplace_back(opcode.mnemonic);
      Fail(first.col, "unknown mnemonic '" + first.text + "'" + DidYouMean(first.text, known));
      return;
    }
    auto ops = ReadOperandList(t, 1);
    if (!ops) return;
    if (ops->size() > shape->operands.size()) {
      Fail((*ops)[shape->operands.size()].col,
           first.text + " takes " + std::to_string(shape->operands.size()) + " operand(s)");
      return;
    }
    ScriptInstruction ins{shape->code, 0, 0, 0, 0, 0, 0};
    if (shape->hasFixedP1) ins.P1 = shape->fixedP1;
    for (size_t i = 0; i < shape->operands.size(); ++i) {
      if (i < ops->size()) {
        if (!StoreOperand(ins, shape->operands[i], (*ops)[i])) return;
      } else if (shape->operands[i].kind == OperandKind::Voice) {
        ins.Value = -1;  // no voice
      } else if (shape->operands[i].kind == OperandKind::Message || shape->operands[i].kind == OperandKind::Label ||
                 shape->operands[i].kind == OperandKind::Jump || shape->operands[i].kind == OperandKind::Image) {
        Fail(first.col, first.text + " needs its " + std::to_string(i + 1) + ". operand");
        return;
      }
    }
    if (shape->code == op::Else || shape->code == op::EndOfBlock) {
      // A numbered else/endif closes that block if it is the innermost one.
      if (shape->code == op::EndOfBlock && !blocks_.empty() && (ins.Modes & 3) == 0 && blocks_.back().number == ins.P1)
        blocks_.pop_back();
    }
    Emit(ins);
  }

  void Assignment(const std::vector<Token>& t) {
    size_t pos = 0;
    auto target = ReadOperand(t, pos);
    ++pos;  // '='
    ScriptInstruction ins{op::Let, 0, 0, 0, 0, 0, 0};
    if (!target || !StoreValue(ins, Field::P1, *target)) return;
    if (pos < t.size() && t[pos].type == TokType::Word && (t[pos].text == "random" || t[pos].text == "rand")) {
      auto ops = ReadOperandList(t, pos + 1);
      if (!ops) return;
      if (ops->size() != 2) {
        Fail(t[pos].col, "random takes two operands: random LOW, HIGH");
        return;
      }
      ins.Code = op::Rand;
      if (StoreValue(ins, Field::P2, (*ops)[0]) && StoreValue(ins, Field::P3, (*ops)[1])) Emit(ins);
      return;
    }
    auto a = ReadOperand(t, pos);
    if (!a || !StoreValue(ins, Field::P2, *a)) return;
    if (pos == t.size()) {
      Emit(ins);
      return;
    }
    static const std::map<std::string, uint16_t> kOps = {{"+", 81}, {"-", 82}, {"*", 83}, {"/", 84}, {"%", 85}};
    auto it = kOps.find(t[pos].text);
    if (t[pos].type != TokType::Punct || it == kOps.end()) {
      Fail(t[pos].col, "expected + - * / or % after the first operand");
      return;
    }
    ins.Code = it->second;
    ++pos;
    auto b = ReadOperand(t, pos);
    if (!b || !StoreValue(ins, Field::P3, *b)) return;
    if (pos != t.size()) {
      Fail(t[pos].col, "one operator per assignment");
      return;
    }
    Emit(ins);
  }

  // "[n]" after if/else/endif; pos is left after it.
  std::optional<int64_t> BlockSuffix(const std::vector<Token>& t, size_t& pos) {
    if (pos < t.size() && t[pos].type == TokType::Punct && t[pos].text == "[") {
      if (pos + 2 >= t.size() || t[pos + 2].text != "]" || t[pos + 1].type != TokType::Number) {
        Fail(t[pos].col, "a block number is written [n]");
        return std::nullopt;
      }
      auto n = ParseInteger(t[pos + 1].text);
      pos += 3;
      if (!n || *n < INT16_MIN || *n > INT16_MAX) {
        Fail(t[pos - 2].col, "a block number is a 16-bit number");
        return std::nullopt;
      }
      return n;
    }
    return std::nullopt;
  }

  void If(const std::vector<Token>& t) {
    size_t pos = 1;
    const size_t before = faults_.size();
    auto explicitNo = BlockSuffix(t, pos);
    if (faults_.size() != before) return;
    auto a = ReadOperand(t, pos);
    if (!a) return;
    static const std::map<std::string, uint16_t> kCmp = {{"==", op::IfEq}, {"!=", op::IfNe}, {"<", op::IfLt},
                                                         {">", op::IfGt},  {"<=", op::IfLe}, {">=", op::IfGe}};
    if (pos >= t.size() || !kCmp.count(t[pos].text)) {
      Fail(pos < t.size() ? t[pos].col : t.back().col, "expected == != < > <= or >=");
      return;
    }
    ScriptInstruction ins{kCmp.at(t[pos].text), 0, 0, 0, 0, 0, 0};
    ++pos;
    auto b = ReadOperand(t, pos);
    if (!b) return;
    if (pos != t.size()) {
      Fail(t[pos].col, "unexpected '" + t[pos].text + "' after the condition");
      return;
    }
    int64_t block = explicitNo ? *explicitNo : NextAutoBlock();
    if (!Store(ins, Field::P1, block, 0, t[0].col) || !StoreValue(ins, Field::P2, *a) ||
        !StoreValue(ins, Field::P3, *b))
      return;
    blocks_.push_back({block, !explicitNo, line_, t[0].col});
    Emit(ins);
  }

  void ElseEndif(const std::vector<Token>& t) {
    const bool isElse = t[0].text == "else";
    size_t pos = 1;
    const size_t before = faults_.size();
    auto explicitNo = BlockSuffix(t, pos);
    if (faults_.size() != before) return;
    if (pos != t.size()) {
      Fail(t[pos].col, "unexpected '" + t[pos].text + "'");
      return;
    }
    int64_t block;
    if (explicitNo) {
      block = *explicitNo;
    } else if (blocks_.empty()) {
      Fail(t[0].col, t[0].text + " without an open if");
      return;
    } else {
      block = blocks_.back().number;
    }
    ScriptInstruction ins{isElse ? op::Else : op::EndOfBlock, 0, static_cast<int16_t>(block), 0, 0, 0, 0};
    Emit(ins);
    // An endif closes its block and every block that an elseif chained onto it.
    while (!isElse && !blocks_.empty() && blocks_.back().number == block) {
      const bool chained = blocks_.back().chained;
      blocks_.pop_back();
      if (!chained || blocks_.empty()) break;
      block = blocks_.back().number;
      Emit({op::EndOfBlock, 0, static_cast<int16_t>(block), 0, 0, 0, 0});
    }
  }

  // "elseif A OP B" is an else of the open block followed by an if of a new block that the open
  // block's endif closes as well: a true branch's else then skips to the outer block's end.
  void ElseIf(const std::vector<Token>& t) {
    if (t.size() > 1 && t[1].text == "[")
      return Fail(t[1].col, "elseif takes no block number; write else[n] and if[m]");
    if (blocks_.empty()) return Fail(t[0].col, "elseif without an open if");
    Emit({op::Else, 0, static_cast<int16_t>(blocks_.back().number), 0, 0, 0, 0});
    const size_t depth = blocks_.size();
    If(t);
    if (blocks_.size() > depth) blocks_.back().chained = true;
  }

  void Raw(const std::vector<Token>& t) {
    auto ops = ReadOperandList(t, 1);
    if (!ops) return;
    if (ops->size() != 7) {
      Fail(t[0].col, "raw takes seven numbers: code, modes, P1, P2, P3, P4, value");
      return;
    }
    int64_t v[7];
    for (int i = 0; i < 7; ++i) {
      if ((*ops)[i].type != Operand::Number) {
        Fail((*ops)[i].col, "raw takes plain numbers");
        return;
      }
      v[i] = (*ops)[i].number;
      const int64_t lo = i == 6 ? INT32_MIN : (i < 2 ? 0 : INT16_MIN);
      const int64_t hi = i == 6 ? UINT32_MAX : UINT16_MAX;
      if (v[i] < lo || v[i] > hi) {
        Fail((*ops)[i].col, std::to_string(v[i]) + " is out of range for this field");
        return;
      }
    }
    ScriptInstruction ins{static_cast<uint16_t>(v[0]),
                          static_cast<uint16_t>(v[1]),
                          static_cast<int16_t>(static_cast<uint16_t>(v[2])),
                          static_cast<int16_t>(static_cast<uint16_t>(v[3])),
                          static_cast<int16_t>(static_cast<uint16_t>(v[4])),
                          static_cast<int16_t>(static_cast<uint16_t>(v[5])),
                          static_cast<int32_t>(static_cast<uint32_t>(v[6]))};
    Emit(ins);
  }

  std::optional<std::string> Hex(const std::vector<Token>& t, size_t pos) {
    std::string digits;
    for (; pos < t.size(); ++pos) digits += t[pos].text;
    if (digits.size() % 2 != 0) {
      Fail(t.back().col, "hexadecimal bytes come in pairs of digits");
      return std::nullopt;
    }
    std::string out;
    for (size_t i = 0; i < digits.size(); i += 2) {
      auto v = ParseInteger("0x" + digits.substr(i, 2));
      if (!v) {
        Fail(t.back().col, "'" + digits.substr(i, 2) + "' is not a hexadecimal byte");
        return std::nullopt;
      }
      out.push_back(static_cast<char>(*v));
    }
    return out;
  }

  std::optional<ScriptTableKind> TableKind(const std::vector<Token>& t) {
    static const std::map<std::string, ScriptTableKind> kKinds = {{"labels", ScriptTableKind::Labels},
                                                                  {"jumps", ScriptTableKind::Jumps},
                                                                  {"resources", ScriptTableKind::Resources},
                                                                  {"messages", ScriptTableKind::Messages}};
    if (t.size() < 2 || !kKinds.count(t[1].text)) {
      Fail(t[0].col, t[0].text + " needs a table: labels, jumps, resources or messages");
      return std::nullopt;
    }
    return kKinds.at(t[1].text);
  }

  void Directive(const std::vector<Token>& t) {
    const std::string& d = t[0].text;
    if (d == ".noend" && t.size() == 1) {
      noEnd_ = true;
    } else if (d == ".header") {
      auto bytes = Hex(t, 1);
      if (!bytes) return;
      if (bytes->size() != 16) return Fail(t[0].col, ".header takes exactly 16 bytes");
      std::copy(bytes->begin(), bytes->end(), image_.header.begin());
    } else if (d == ".trailer") {
      if (auto bytes = Hex(t, 1)) image_.trailer = *bytes;
    } else if (d == ".table") {
      auto kind = TableKind(t);
      if (!kind) return;
      if (t.size() != 3 || t[2].type != TokType::String) return Fail(t[0].col, ".table KIND \"text\"");
      Allocate(*kind, t[2].text, false, t[2].col);
    } else if (d == ".tablebytes") {
      auto kind = TableKind(t);
      if (!kind) return;
      TableBuild& table = tables_[static_cast<int>(*kind)];
      if (!table.lines.empty()) return Fail(t[0].col, "the table already has lines");
      auto bytes = Hex(t, 2);
      if (!bytes) return;
      table.raw = true;
      table.rawBytes = *bytes;
    } else if (d == ".tablesize") {
      auto kind = TableKind(t);
      if (!kind) return;
      std::optional<int64_t> n;
      if (t.size() == 3) n = ParseInteger(t[2].text);
      if (t.size() == 4 && t[2].text == "-") {
        n = ParseInteger(t[3].text);
        if (n) n = -*n;
      }
      if (!n || *n > 0 || *n < INT32_MIN) return Fail(t[0].col, ".tablesize takes a size of 0 or less");
      tables_[static_cast<int>(*kind)].storedSize = static_cast<int32_t>(*n);
      tables_[static_cast<int>(*kind)].raw = true;
    } else {
      Fail(t[0].col, "unknown directive '" + d + "'");
    }
  }

  void Finish() {
    // The end instruction added here belongs to the last line.
    if (!noEnd_ && (image_.code.empty() || image_.code.back().Code != op::End)) {
      image_.code.push_back({op::End, 0, 0, 0, 0, 0, 0});
      positions_.push_back({line_, 1});
    }
    for (int k = 0; k < kScriptTableCount; ++k) {
      TableBuild& build = tables_[k];
      ScriptTable& table = image_.tables[k];
      if (build.raw) {
        table.bytes = build.rawBytes;
        table.storedSize =
            build.rawBytes.empty() ? build.storedSize.value_or(0) : static_cast<int32_t>(build.rawBytes.size());
        continue;
      }
      for (size_t i = 0; i < build.lines.size(); ++i) {
        bool ok = true;
        std::string bytes = Utf16ToCp932(FromUtf8(build.lines[i]), &ok);
        if (!ok) {
          const std::optional<UnfitCharacter> unfit = FirstUnfitCharacter(build.lines[i]);
          faults_.push_back(
              {build.where[i].first, build.where[i].second,
               "\"" + build.lines[i] + "\" has a character that Shift-JIS (CP932) cannot hold: " +
                   (unfit ? unfit->shown + ", character " + std::to_string(unfit->index + 1) + " of the text"
                          : std::string("one of its characters"))});
        }
        table.bytes += bytes + "\r\n";
      }
      table.storedSize = static_cast<int32_t>(table.bytes.size());
    }
  }

  std::string_view source_;
  std::string file_;
  int line_ = 0;
  int statementCol_ = 1;
  std::vector<Fault> faults_;
  std::vector<SourcePosition> positions_;
  ScriptImage image_;
  std::array<TableBuild, kScriptTableCount> tables_;
  std::vector<OpenBlock> blocks_;
  std::set<int64_t> usedBlocks_;
  int64_t nextBlock_ = 1;
  bool noEnd_ = false;
  bool tooLong_ = false;
};

}  // namespace

AssemblyResult AssembleScenario(std::string_view source, const std::string& fileName) {
  return Assembler(source, fileName).Run();
}

std::string AssembleScenarioOrThrow(std::string_view source, const std::string& fileName) {
  AssemblyResult r = AssembleScenario(source, fileName);
  if (!r.ok()) {
    std::string all;
    for (const std::string& e : r.errors) all += e + "\n";
    throw AssemblyError(all);
  }
  return EncodeScriptImage(r.image);
}

}  // namespace mokuren::toolkit
