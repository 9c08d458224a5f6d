// The scenario assembler: stored bytes of instructions, tables, blocks and the faults it reports.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "script/opcodes.h"
#include "script/script_image.h"
#include "toolkit/scenario_assembler.h"

namespace mokuren {
namespace {

using toolkit::AssembleScenario;

ScriptImage Assemble(const std::string& source) {
  auto r = AssembleScenario(source, "t.txt");
  EXPECT_TRUE(r.ok()) << (r.errors.empty() ? "" : r.errors[0]);
  return r.image;
}

std::string Bytes(const ScriptInstruction& ins) {
  ScriptImage one;
  one.code = {ins};
  return EncodeScriptImage(one).substr(20, 16);
}

std::string Hex(const std::string& s) {
  std::string out;
  char buf[4];
  for (unsigned char c : s) {
    snprintf(buf, sizeof buf, "%02X ", c);
    out += buf;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

std::vector<std::string> Errors(const std::string& source) { return AssembleScenario(source, "t.txt").errors; }

TEST(AsmAssembler, StoredFormsOfAssignmentAndNamedBackground) {
  ScriptImage a = Assemble("F5 = W2\n");
  EXPECT_EQ(Hex(Bytes(a.code[0])), "50 00 0D 00 05 00 02 00 00 00 00 00 00 00 00 00");
  EXPECT_EQ(Hex(Bytes(Assemble("let F5, W2\n").code[0])), Hex(Bytes(a.code[0])));
  // A name given four resource lines in makes line 3 the background's.
  ScriptImage b = Assemble(".table resources \"A\"\n.table resources \"B\"\n.table resources \"C\"\nbg \"BG03\"\n");
  EXPECT_EQ(Hex(Bytes(b.code[0])), "10 00 00 80 00 00 00 00 00 00 00 00 03 00 00 00");
  EXPECT_EQ(Hex(Bytes(Assemble("bg #3\n").code[0])), "10 00 00 80 00 00 00 00 00 00 00 00 03 00 00 00");
}

TEST(AsmAssembler, WholeEntryLayoutAndAutomaticEnd) {
  ScriptImage image = Assemble("msg \"あ\"\n");
  ASSERT_EQ(image.code.size(), 2u);
  EXPECT_EQ(image.code[1].Code, op::End);
  EXPECT_EQ(image.code[0].Value, -1);  // no voice
  std::string entry = EncodeScriptImage(image);
  // 16 free bytes, C = 32, code, labels 0, jumps 0, resources 0, messages 4 ("あ" + CR LF).
  ASSERT_EQ(entry.size(), 16u + 4 + 32 + 4 + 4 + 4 + 4 + 4);
  EXPECT_EQ(Hex(entry.substr(16, 4)), "20 00 00 00");
  EXPECT_EQ(Hex(entry.substr(entry.size() - 8)), "04 00 00 00 82 A0 0D 0A");
  // An empty source is the empty script.
  EXPECT_EQ(Assemble("; nothing\n").code.size(), 1u);
}

TEST(AsmAssembler, OperandsAndModes) {
  ScriptImage s = Assemble(
      "F1 = S451 + -3\n"
      "W7 = random 2, F9\n"
      "layer3 right, \"CH01\"\n"
      "layer1 4, F2\n"
      "wait click\n"
      "wait 32767, 1\n"
      "msg \"x\", \"V001\", 7\n"
      "se2 4, 1, 2\n"
      "stopvoice\n"
      "sys 9, W3\n"
      "raw 200, 0xFFFF, -1, 2, 3, 4, 0xFFFFFFFF\n");
  EXPECT_EQ(s.code[0].Code, op::Add);
  EXPECT_EQ(s.code[0].Modes, 1 | (2 << 2));
  EXPECT_EQ(s.code[0].P2, 451);
  EXPECT_EQ(s.code[0].P3, -3);
  EXPECT_EQ(s.code[1].Code, op::Rand);
  EXPECT_EQ(s.code[1].Modes, 3 | (1 << 4));
  EXPECT_EQ(s.code[2].Code, op::Layer3);
  EXPECT_EQ(s.code[2].P1, 3);
  EXPECT_EQ(s.code[2].Modes, kNameFlag);
  EXPECT_EQ(s.code[3].P1, 4);
  EXPECT_EQ(s.code[3].Modes, 1 << 8);  // an entry number in a variable, no NameFlag
  EXPECT_EQ(s.code[4].P1, op::wait::Click);
  EXPECT_EQ(s.code[5].P1, 32767);
  EXPECT_EQ(s.code[5].P2, 1);
  EXPECT_EQ(s.code[6].Value, 1);  // resources: CH01, V001
  EXPECT_EQ(s.code[6].P2, 7);
  EXPECT_EQ(s.code[7].Code, op::Se2);
  EXPECT_EQ(s.code[8].Code, op::SystemFunction);
  EXPECT_EQ(s.code[8].P1, op::sys::StopVoice);
  EXPECT_EQ(s.code[9].Modes, 3 << 2);
  EXPECT_EQ(s.code[10].Code, 200);
  EXPECT_EQ(s.code[10].Modes, 0xFFFF);
  EXPECT_EQ(s.code[10].Value, -1);
}

TEST(AsmAssembler, TablesShareNamesButNotMessages) {
  ScriptImage s = Assemble(
      "*top\n"
      "msg \"same\"\n"
      "msg \"same\"\n"
      "jump top\n"
      "call \"top\", 3\n"
      "bg \"BG01\"\n"
      "layer1 left, \"bg01\"\n"
      "layer2 left, \"BG01\"\n");
  EXPECT_EQ(s.code[1].P1, 0);
  EXPECT_EQ(s.code[2].P1, 1);  // each message keeps its own read mark
  EXPECT_EQ(s.code[3].P1, 0);
  EXPECT_EQ(s.code[4].P1, 0);
  EXPECT_EQ(s.code[4].Value, 3);
  EXPECT_EQ(s.code[7].Value, 0);
  EXPECT_EQ(s.code[6].Value, 1);
  EXPECT_EQ(s.tables[0].bytes, "top\r\n");
  EXPECT_EQ(s.tables[1].bytes, "top\r\n");
  EXPECT_EQ(s.tables[2].bytes, "BG01\r\nbg01\r\n");
  EXPECT_EQ(s.tables[3].bytes, "same\r\nsame\r\n");
}

TEST(AsmAssembler, BlocksNumberThemselvesAndNest) {
  ScriptImage s = Assemble(
      "if F1 == 1\n"
      "  if F2 != 2\n"
      "  else\n"
      "  endif\n"
      "else\n"
      "endif\n"
      "if[1] F3 >= 0\n"  // numbered by hand: automatic numbers avoid it
      "endif[1]\n");
  auto at = [&](int i) { return std::make_pair(static_cast<int>(s.code[i].Code), static_cast<int>(s.code[i].P1)); };
  // Block 1 is written by hand further down, so the automatic ones are 2 and 3.
  EXPECT_EQ(at(0), (std::pair<int, int>(op::IfEq, 2)));
  EXPECT_EQ(at(1), (std::pair<int, int>(op::IfNe, 3)));
  EXPECT_EQ(at(2), (std::pair<int, int>(op::Else, 3)));
  EXPECT_EQ(at(3), (std::pair<int, int>(op::EndOfBlock, 3)));
  EXPECT_EQ(at(4), (std::pair<int, int>(op::Else, 2)));
  EXPECT_EQ(at(5), (std::pair<int, int>(op::EndOfBlock, 2)));
  EXPECT_EQ(at(6), (std::pair<int, int>(op::IfGe, 1)));
  EXPECT_EQ(at(7), (std::pair<int, int>(op::EndOfBlock, 1)));
}

// elseif chains: a true branch's else must land on the outermost end, a false one on the next test.
TEST(AsmAssembler, ElseIfChainsCloseTogether) {
  ScriptImage s = Assemble(
      "if F1 == 1\n"
      "  show\n"
      "elseif F1 == 2\n"
      "  show\n"
      "elseif F1 == 3\n"
      "else\n"
      "  show\n"
      "endif\n"
      "end\n");
  std::vector<std::pair<int, int>> got;
  for (const auto& ins : s.code) got.emplace_back(ins.Code, ins.P1);
  using namespace op;
  const std::vector<std::pair<int, int>> want = {
      {IfEq, 1}, {Show, 0}, {Else, 1},       {IfEq, 2},       {Show, 0},       {Else, 2}, {IfEq, 3},
      {Else, 3}, {Show, 0}, {EndOfBlock, 3}, {EndOfBlock, 2}, {EndOfBlock, 1}, {End, 0}};
  EXPECT_EQ(got, want);
  EXPECT_EQ(Errors("elseif F1 == 1\n")[0], "t.txt:1:1: elseif without an open if");
  EXPECT_EQ(Errors("if F1 == 1\nelseif F1 == 2\n").size(), 1u);
}

TEST(AsmAssembler, FaultsNameFileLineAndColumn) {
  EXPECT_EQ(Errors("show\n  bogus 1\n")[0], "t.txt:2:3: unknown mnemonic 'bogus'");
  EXPECT_EQ(Errors("shwo\n")[0], "t.txt:1:1: unknown mnemonic 'shwo'; did you mean \"show\"?");
  EXPECT_EQ(Errors("msg \"open\n")[0], "t.txt:1:5: string without its closing quote");
  EXPECT_EQ(Errors("wait 40000\n")[0], "t.txt:1:6: 40000 does not fit in 16 bits (-32768 to 32767)");
  EXPECT_EQ(Errors("if F1 == 1\nshow\n")[0], "t.txt:1:1: if without endif");
  EXPECT_EQ(Errors("else\n")[0], "t.txt:1:1: else without an open if");
  EXPECT_EQ(Errors("show 1\n")[0], "t.txt:1:6: show takes 0 operand(s)");
  EXPECT_EQ(Errors("F1 = 2 ^ 3\n")[0], "t.txt:1:8: unexpected character '^'");
  // Columns count characters: the fault after a Japanese text is at its character position.
  EXPECT_EQ(Errors("msg \"日本\" x\n")[0], "t.txt:1:10: expected ',' before 'x'");
  EXPECT_EQ(Errors("msg \"花が🌸\"\n")[0],
            "t.txt:1:5: \"花が🌸\" has a character that Shift-JIS (CP932) cannot hold: 🌸 (U+1F338), character 3 of "
            "the text");
}

}  // namespace
}  // namespace mokuren

namespace mokuren {
namespace {

// The complete example of the language's documentation compiles to what the documentation says.
TEST(AsmAssembler, DocumentedExample) {
  std::ifstream in(std::string(MOKUREN_SOURCE_DIR) + "/docs/scenario-language.md");
  std::string doc((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t at = doc.find("## A complete example");
  ASSERT_NE(at, std::string::npos);
  size_t begin = doc.find("```\n", at) + 4;
  std::string source = doc.substr(begin, doc.find("```", begin) - begin);
  ScriptImage image = Assemble(source);
  ASSERT_EQ(image.code.size(), 29u);
  EXPECT_EQ(Hex(Bytes(image.code[15])), "51 00 05 00 01 00 01 00 01 00 00 00 00 00 00 00");
  EXPECT_EQ(Hex(Bytes(image.code[5])), "10 00 00 80 00 00 00 00 00 00 00 00 00 00 00 00");
  EXPECT_NE(doc.find("51 00 05 00 01 00 01 00 01 00 00 00 00 00 00 00"), std::string::npos);
}

}  // namespace
}  // namespace mokuren
