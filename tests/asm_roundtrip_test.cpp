// Disassembly reassembles to the same bytes: the demo's scripts and seeded random scripts, including
// tables and instructions that no mnemonic writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "script/opcodes.h"
#include "script/script_image.h"
#include "support/engine_fixture.h"
#include "toolkit/scenario_assembler.h"
#include "toolkit/scenario_disassembler.h"

namespace mokuren {
namespace {

using toolkit::AssembleScenario;
using toolkit::DisassembleScript;

// Disassembles, reassembles and compares; returns the text for further checks.
std::string RoundTrip(const ScriptImage& image, const std::string& what) {
  const std::string bytes = EncodeScriptImage(image);
  const std::string text = DisassembleScript(image);
  auto again = AssembleScenario(text, what);
  EXPECT_TRUE(again.ok()) << what << ": " << (again.errors.empty() ? "" : again.errors[0]) << "\n" << text;
  EXPECT_TRUE(EncodeScriptImage(again.image) == bytes) << what << " does not reassemble to the same bytes:\n" << text;
  return text;
}

TEST(AsmRoundTrip, DemoScripts) {
  int count = 0;
  for (const auto& e : std::filesystem::directory_iterator(std::string(MOKUREN_SOURCE_DIR) + "/demo/scenario")) {
    if (e.path().extension() != ".txt") continue;
    auto r = AssembleScenario(testing::ReadFile(e.path()), e.path().string());
    ASSERT_TRUE(r.ok()) << r.errors[0];
    std::string text = RoundTrip(r.image, e.path().filename().string());
    // A script the assembler made reads back with its texts inline.
    EXPECT_EQ(text.find(".table"), std::string::npos) << text;
    ++count;
  }
  EXPECT_GT(count, 0);
}

TEST(AsmRoundTrip, ReadableSourceComesBackReadable) {
  const std::string source =
      "*start\n"
      "bg \"BG01\"\n"
      "layer1 left, \"CH01\"\n"
      "show\n"
      "msg \"「こんにちは、①」\", \"V001\"\n"
      "choice \"はい,いいえ\"\n"
      "if W1 == 1\n"
      "  F3 = random 1, 6\n"
      "else\n"
      "  wait click\n"
      "endif\n"
      "call sub, 2\n"
      "jump start\n";
  auto r = AssembleScenario(source, "s");
  ASSERT_TRUE(r.ok()) << r.errors[0];
  std::string text = RoundTrip(r.image, "readable");
  EXPECT_NE(text.find("msg \"「こんにちは、①」\", \"V001\""), std::string::npos) << text;
  EXPECT_NE(text.find("if[1] W1 == 1"), std::string::npos) << text;
  EXPECT_NE(text.find("  F3 = random 1, 6"), std::string::npos) << text;
  EXPECT_NE(text.find("layer1 left, \"CH01\""), std::string::npos) << text;
  EXPECT_NE(text.find("*start"), std::string::npos) << text;
}

// Random scripts: instructions from plausible to arbitrary, tables well-formed or not.
class RandomScripts {
 public:
  explicit RandomScripts(uint32_t seed) : rng_(seed) {}

  ScriptImage Next() {
    ScriptImage image;
    if (Chance(4))
      for (auto& b : image.header) b = static_cast<uint8_t>(rng_());
    const int tableLines[4] = {Pick(0, 4), Pick(0, 4), Pick(0, 6), Pick(0, 8)};
    for (int k = 0; k < 4; ++k) image.tables[k] = Table(tableLines[k]);
    const int n = Pick(0, 40);
    for (int i = 0; i < n; ++i) image.code.push_back(Instruction(tableLines));
    if (!Chance(8)) image.code.push_back({op::End, 0, 0, 0, 0, 0, 0});
    if (Chance(8)) image.trailer = "tail";
    return image;
  }

 private:
  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool Chance(int oneIn) { return Pick(1, oneIn) == 1; }

  std::string Text() {
    static const char* const kPieces[] = {"a", "B",  " ",  "\x82\xA0", "\x88\xEA", "\x87\x40",
                                          ",", "\"", "\\", "#",        ";",        "--END--"};
    std::string s;
    for (int i = Pick(0, 5); i > 0; --i) s += kPieces[Pick(0, 11)];
    return s;
  }

  ScriptTable Table(int lines) {
    ScriptTable t;
    const int shape = Pick(0, 9);
    for (int i = 0; i < lines; ++i) t.bytes += Text() + (shape == 0 ? "\n" : "\r\n");
    if (shape == 1 && !t.bytes.empty()) t.bytes.resize(t.bytes.size() - 2);  // no final line end
    if (shape == 2) t.bytes += "\xFF\xFE";                                   // not CP932
    t.storedSize = static_cast<int32_t>(t.bytes.size());
    if (t.bytes.empty() && shape == 3) t.storedSize = -Pick(1, 100);
    return t;
  }

  int16_t Small() { return static_cast<int16_t>(Chance(5) ? Pick(-32768, 32767) : Pick(-3, 12)); }

  ScriptInstruction Instruction(const int* tableLines) {
    using namespace op;
    // Every kind of instruction, and three codes that are none (105, 0 and 300).
    static const uint16_t kCodes[] = {Background,     Layer1,     Layer5, Movie,  Show, Bgm,  Se1,        Se3,
                                      Jump,           Call,       Label,  Return, Let,  Add,  Div,        Rand,
                                      Message,        Choice,     IfEq,   IfGt,   IfGe, Else, EndOfBlock, Wait,
                                      SystemFunction, SectionEnd, End,    105,    0,    300};
    ScriptInstruction ins{};
    ins.Code = kCodes[Pick(0, 29)];
    if (Chance(6)) {  // anything at all
      ins.Modes = static_cast<uint16_t>(rng_());
      ins.P1 = static_cast<int16_t>(rng_());
      ins.P2 = static_cast<int16_t>(rng_());
      ins.P3 = static_cast<int16_t>(rng_());
      ins.P4 = static_cast<int16_t>(rng_());
      ins.Value = static_cast<int32_t>(rng_());
      return ins;
    }
    // Plausible: small operands, modes 0-3 on the operands the instruction uses.
    ins.Modes = static_cast<uint16_t>(Pick(0, 3) | (Pick(0, 3) << 2) | (Pick(0, 3) << 4) | (Pick(0, 3) << 8));
    if (Chance(2)) ins.Modes = 0;
    if ((ins.Code >= op::Background && ins.Code <= op::Layer5) && Chance(2)) ins.Modes |= kNameFlag;
    ins.P1 = Small();
    ins.P2 = Chance(2) ? 0 : Small();
    ins.P3 = Chance(2) ? 0 : Small();
    ins.Value = Chance(3) ? -1 : Small();
    const bool usesValue = (ins.Code >= op::Background && ins.Code <= op::Layer5) ||
                           (ins.Code >= op::Bgm && ins.Code <= op::Se3) || ins.Code == op::Jump ||
                           ins.Code == op::Call || ins.Code == op::Message;
    if (!usesValue) ins.Value = 0;
    if (ins.Code == op::Message || ins.Code == op::Choice) ins.P1 = static_cast<int16_t>(Pick(0, tableLines[3]));
    if (ins.Code == op::Label) ins.P1 = static_cast<int16_t>(Pick(0, tableLines[0]));
    return ins;
  }

  std::mt19937 rng_;
};

TEST(AsmRoundTrip, SeededRandomScripts) {
  RandomScripts gen(20261207);
  // Every way of writing a script must have come up, or the generator tests less than it seems.
  std::map<std::string, int> seen;
  for (int i = 0; i < 300; ++i) {
    ScriptImage image = gen.Next();
    std::string text = RoundTrip(image, "random script " + std::to_string(i));
    for (const char* form : {"raw ", ".table ", ".tablebytes ", ".tablesize ", ".header ", ".noend", ".trailer ",
                             "msg \"", "msg #", "if[", "*", " = "})
      if (text.find(form) != std::string::npos) ++seen[form];
    if (::testing::Test::HasFailure()) break;
  }
  // Random sources, which come back with their texts inline.
  std::mt19937 rng(77);
  auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  static const char* const kStatements[] = {"msg \"本文\"",
                                            "msg \"声\", \"V0\"",
                                            "msg \"x\", \"V1\", 7",
                                            "choice \"a,b\"",
                                            "*L1",
                                            "*\"ラベル\"",
                                            "jump L1",
                                            "call L2, 3",
                                            "bg \"BG\"",
                                            "bg 0",
                                            "layer2 right, \"CH\"",
                                            "layer5 keep, F1",
                                            "W1 = W2 * -3",
                                            "F2 = random 1, 6",
                                            "S3 = 4",
                                            "wait 100",
                                            "wait movie, 1",
                                            "bgm 2, 1, 3",
                                            "se3 5",
                                            "show",
                                            "movie",
                                            "return",
                                            "title",
                                            "heroname",
                                            "cursor 0",
                                            "sectionskip 1",
                                            "sectionend",
                                            "sys 55, 1",
                                            "end",
                                            "raw 1, 2, 3, 4, 5, 6, 7"};
  for (int i = 0; i < 100; ++i) {
    std::string source;
    int open = 0;
    for (int n = pick(30); n > 0; --n) {
      const int what = pick(12);
      if (what == 0) {
        source += "if F" + std::to_string(pick(9) + 1) + " < " + std::to_string(pick(5)) + "\n";
        ++open;
      } else if (what == 1 && open > 0) {
        const int kind = pick(3);
        source += kind == 0 ? "else\n" : kind == 1 ? "elseif W3 != 0\n" : (--open, "endif\n");
      } else {
        source += std::string(kStatements[pick(30)]) + "\n";
      }
    }
    for (; open > 0; --open) source += "endif\n";
    auto r = AssembleScenario(source, "random source");
    ASSERT_TRUE(r.ok()) << r.errors[0] << "\n" << source;
    std::string text = RoundTrip(r.image, "random source " + std::to_string(i));
    EXPECT_EQ(text.find(".table"), std::string::npos) << text;
    for (const char* form : {"msg \"", "*", " = "})
      if (text.find(form) != std::string::npos) ++seen[form];
    if (::testing::Test::HasFailure()) break;
  }
  for (const auto& [form, count] : seen) EXPECT_GT(count, 0) << form;
  EXPECT_EQ(seen.size(), 12u) << [&] {
    std::string s;
    for (auto& [f, c] : seen) s += f + std::string("|");
    return s;
  }();
}

TEST(AsmRoundTrip, MalformedEntriesAreRefused) {
  EXPECT_THROW(toolkit::DisassembleEntry("abc"), std::runtime_error);
  std::string entry(20, '\0');
  entry[16] = 16;  // code size 16 with no code
  EXPECT_THROW(toolkit::DisassembleEntry(entry), std::runtime_error);
}

}  // namespace
}  // namespace mokuren
