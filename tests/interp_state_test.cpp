// Read marks and the scene table at their stored positions, the debug window's texts, and scripts
// whose malformed code must neither crash nor freeze the engine.
#include <cstddef>
#include <cstring>
#include <random>

#include "base/text_codec.h"
#include "dialogs/debug_dump.h"
#include "interp_fixture.h"

namespace mokuren::testing {
namespace {

const uint8_t* BlockBytes(TForm1& f) { return reinterpret_cast<const uint8_t*>(f.Save().Block.get()); }
constexpr size_t kMarks = offsetof(SaveBlock, ReadMarks);

TEST_F(Interp, ReadMarksUseOneBitPerMessageInTheBankOfTheScript) {
  f().Script().ScriptNo = 2;
  f().Script().MarkKidoku(9);
  EXPECT_EQ(BlockBytes(f())[kMarks + 32769], 0x02);
  EXPECT_TRUE(f().Script().CheckKidoku(9));
  EXPECT_FALSE(f().Script().CheckKidoku(8));
  f().Script().ScriptNo = 3;
  EXPECT_FALSE(f().Script().CheckKidoku(9));

  f().Script().ScriptNo = 14;
  f().Script().MarkKidoku(0);
  EXPECT_EQ(BlockBytes(f())[kMarks + 229376], 0x01);
  f().Script().MarkKidoku(32767);  // the highest message number an operand can hold
  EXPECT_EQ(BlockBytes(f())[kMarks + 229376 + 4095], 0x80);

  // Script 15 and above, and negative numbers, mark nothing and never count as read.
  const uint8_t* marks = BlockBytes(f()) + kMarks;
  std::vector<uint8_t> before(marks, marks + sizeof(SaveBlock::ReadMarks));
  f().Script().ScriptNo = 15;
  f().Script().MarkKidoku(0);
  EXPECT_FALSE(f().Script().CheckKidoku(0));
  f().Script().ScriptNo = 2;
  f().Script().MarkKidoku(-8);
  EXPECT_FALSE(f().Script().CheckKidoku(-8));
  EXPECT_TRUE(std::equal(before.begin(), before.end(), marks));
}

TEST_F(Interp, TheSceneTableListsEachScriptOnceInTheOrderAdded) {
  EXPECT_EQ(f().Script().AddSceneTbl(40), 1);
  EXPECT_EQ(f().Script().AddSceneTbl(41), 2);
  EXPECT_EQ(f().Script().AddSceneTbl(40), -1);
  EXPECT_EQ(f().Script().GetSceneTbl(41), 2);
  EXPECT_EQ(f().Script().GetSceneTbl(42), -1);
  EXPECT_EQ(f().Script().AddSceneTbl(0), -1);  // 0 marks a free entry and is never stored
  for (int s = 100; s < 218; ++s) ASSERT_GT(f().Script().AddSceneTbl(s), 0);
  EXPECT_EQ(f().Script().AddSceneTbl(500), 0);  // all 120 taken
  EXPECT_EQ(f().Script().GetSceneTbl(217), 120);
  EXPECT_EQ(f().Script().GetSceneTbl(500), -1);
}

TEST_F(Interp, StatusLineShowsTheLastInstructionWithTheBankOfEachOperand) {
  f().Script().WorkVars[5] = 12;
  f().Script().WorkVars[6] = -4;
  std::vector<ScriptInstruction> code(41, Nop());
  code.push_back(Op(op::Background, 0, 0, 0, 6, Modes(0, 0, 0, 3)));  // 41: a background whose image comes from W6
  code.push_back(Op(op::Add, 7, 5, 3, 0, Modes(1, 3, 2)));            // 42: F7 = W5 + S3
  Load(code, 3);
  f().Script().StepNo = 40;
  f().Script().ScriptInstructionBudget = 1;  // one instruction per run
  Run();
  auto status = [&] {
    return ToUtf8(InterpreterStatusLine(f().TaskCode, f().Script().ScriptNo, f().Script().StepNo,
                                        f().Script().CurrentInstruction));
  };
  EXPECT_EQ(status(), "TC:0 NO:3 ST:41 CD:16 P1:0 P2:0 P3:0");  // Value's bank is not shown
  EXPECT_EQ(f().Script().CurrentInstruction.Value, -4);
  Run();
  EXPECT_EQ(status(), "TC:0 NO:3 ST:42 CD:81 P1:F0 P2:W12 P3:S0");
}

TEST(DebugDump, FlagDumpHasAHeadingAndThirtyTwoLinesOfSixteenPerBank) {
  std::vector<int16_t> f(512), s(512), w(512);
  f[0] = 5;
  s[511] = -1;
  w[15] = 7;
  VarBank fb(f.data()), sb(s.data()), wb(w.data());
  auto lines = FlagDumpLines(fb, sb, wb);
  ASSERT_EQ(lines.size(), 3u * 33 + 2);
  EXPECT_EQ(ToUtf8(lines[0]), "--シナリオ変数---------------------------------------------");
  EXPECT_EQ(ToUtf8(lines[1]),
            "F1:5 F2:0 F3:0 F4:0 F5:0 F6:0 F7:0 F8:0 F9:0 F10:0 F11:0 F12:0 F13:0 F14:0 F15:0 F16:0 ");
  EXPECT_EQ(ToUtf8(lines[32]).substr(0, 9), "F497:0 F4");
  EXPECT_TRUE(lines[33].empty());
  EXPECT_EQ(ToUtf8(lines[34]), "--システム変数---------------------------------------------");
  EXPECT_EQ(ToUtf8(lines[66]).substr(ToUtf8(lines[66]).size() - 9), " S512:-1 ");
  EXPECT_EQ(ToUtf8(lines[68]), "--ワーク変数-----------------------------------------------");
  EXPECT_NE(ToUtf8(lines[69]).find(" W16:7 "), std::string::npos);
}

TEST(DebugDump, ReturnTableAndSoundLines) {
  ReturnEntry table[16] = {{2, 17}, {5, -1}};
  auto lines = ReturnTableDumpLines(table);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(ToUtf8(lines[0]), "2 17");
  EXPECT_EQ(ToUtf8(lines[1]), "5 -1");
  EXPECT_EQ(ToUtf8(lines[5]), "0 0");

  SaveRecord live{};
  live.BgmNo = 3;
  live.BgmLoop = 1;
  live.SeNo[1] = 12;
  live.SeLoop[1] = 1;
  EXPECT_EQ(ToUtf8(SoundStatusLine(live)), "BGM:3(L) SE1:0 SE2:12(L) SE3:0");
}

// ---- Malformed scripts --------------------------------------------------------------------------------

TEST_F(Interp, VariableNumbersOutsideTheBankReadZeroStoreNothingAndAreReportedOncePerPlace) {
  const SaveBlock before = *f().Save().Block;
  Load({Op(op::Let, 0, 1, 0, 0, Modes(1)),         // F0 = 1
        Op(op::Let, 513, 1, 0, 0, Modes(2)),       // S513 = 1
        Op(op::Let, -1, 1, 0, 0, Modes(1)),        // F-1 = 1
        Op(op::Let, 3, 600, 0, 0, Modes(3, 1)),    // W3 = F600
        Op(0, 0, 0, 0, 70000, Modes(0, 0, 0, 2)),  // Value from S70000
        Yield()});
  f().Script().WorkVars[3] = 9;
  Run();
  EXPECT_EQ(f().Script().WorkVars[3], 0);
  EXPECT_EQ(f().Script().CurrentInstruction.Value, 0);
  EXPECT_EQ(NewErrors(), 5u);
  f().TaskCode = task::Script;
  f().Script().StepNo = -1;
  Run();
  EXPECT_EQ(NewErrors(), 5u);
  EXPECT_EQ(Errors("outside 1-512"), 5);
  // No write reached either persistent bank or what lies beside them.
  EXPECT_EQ(std::memcmp(&before, f().Save().Block.get(), offsetof(SaveRecord, ScriptNo)), 0);
  EXPECT_EQ(std::memcmp(&before.Live.Comment, &f().Save().Block->Live.Comment,
                        offsetof(SaveBlock, ReadMarks) - offsetof(SaveRecord, Comment)),
            0);
}

TEST_F(Interp, AScriptThatNeverYieldsGivesThePassBackAndIsReportedOnce) {
  f().Script().ScriptInstructionBudget = 20000;
  // A failed condition without any marker restarts the script at instruction 0, forever.
  Load({Op(op::Add, 1, 1, 1, 0, Modes(3, 3)), Op(op::IfEq, 9, 0, 1)});
  Run();
  EXPECT_EQ(f().TaskCode, task::Script);
  EXPECT_EQ(f().Script().WorkVars[1], 10000);
  EXPECT_EQ(Errors("20000 instructions ran"), 1);
  const int64_t passes = f().PassCount();
  Passes(5);
  EXPECT_EQ(f().PassCount(), passes + 5);
  EXPECT_EQ(f().Script().WorkVars[1], static_cast<int16_t>(60000));
  EXPECT_EQ(Errors("instructions ran"), 1);
}

TEST_F(Interp, CodeWithoutAnyEndInstructionIsSearchedAndRunOnlyUpToItsEnd) {
  std::fill(f().Script().ScriptCode.begin(), f().Script().ScriptCode.end(), Nop());
  f().Script().ScriptInstructionBudget = 1000000;
  // Execution runs off the end of ScriptCode and starts again at instruction 0.
  f().Script().ScriptCode[0] = Op(op::Add, 1, 1, 1, 0, Modes(3, 3));
  f().Script().StepNo = -1;
  Run();
  EXPECT_EQ(Errors("left the loaded code"), 1);
  EXPECT_GE(f().Script().WorkVars[1], 15);

  // A failed condition searches to the end in vain, again and again: the searches count against the
  // budget, so the pass still ends after about a million instructions looked at.
  f().Script().ScriptCode[0] = Op(op::IfEq, 1, 0, 1);
  f().Script().StepNo = -1;
  Run();
  EXPECT_EQ(Errors("no end instruction"), 1);
  EXPECT_EQ(f().TaskCode, task::Script);
  EXPECT_EQ(Errors("instructions ran"), 1);
}

TEST_F(Interp, JumpTargetsBeyondStep32767AndStepsOutsideTheCodeRestartTheScript) {
  f().Script().LabelNames = {u"far"};
  f().Script().JumpNames = {u"far"};
  std::vector<ScriptInstruction> code(40001, Nop());
  code[0] = Op(op::Jump, 0);
  code[40000] = Op(op::Label, 0);
  Load(code);
  Run();
  EXPECT_EQ(f().Script().StepNo, -1);
  EXPECT_EQ(Errors("beyond step 32767"), 1);

  // A step from outside (a damaged save) past the end instruction.
  Load({Op(op::Let, 1, 5, 0, 0, Modes(3)), Yield()});
  f().Script().StepNo = 5000;
  Run();
  EXPECT_EQ(f().Script().WorkVars[1], 5);
  EXPECT_EQ(Errors("outside the loaded code"), 1);
}

TEST_F(Interp, ASeventeenthCallForgetsTheOldestReturn) {
  f().Script().LabelNames = {u"sub"};
  f().Script().JumpNames = {u"sub"};
  for (int i = 0; i < 16; ++i) f().Script().ReturnTable[i] = {static_cast<int16_t>(i + 1), static_cast<int16_t>(i + 1)};
  f().Script().ReturnDepth = 16;
  Load({Nop(), Op(op::Call, 0), Op(op::Label, 0), Yield()}, 7);
  Run();
  EXPECT_EQ(f().Script().ReturnDepth, 16);
  EXPECT_EQ(f().Script().ReturnTable[0].Script, 2);
  EXPECT_EQ(f().Script().ReturnTable[14].Script, 16);
  EXPECT_EQ(f().Script().ReturnTable[15].Script, 7);
  EXPECT_EQ(f().Script().ReturnTable[15].Step, 1);
  EXPECT_EQ(Errors("17th nested call"), 1);

  // A damaged depth is mended before it is used.
  f().Script().ReturnDepth = 40;
  Load({Nop(), Op(op::Call, 0), Op(op::Label, 0), Yield()}, 7);
  Run();
  EXPECT_EQ(f().Script().ReturnDepth, 1);
}

TEST_F(Interp, TableLinesThatDoNotExistGiveEmptyTextsAndNames) {
  f().Script().MessageTexts.clear();
  f().Script().JumpNames.clear();
  Load({Op(op::Message, 5, 0, 0, 20000), Op(op::Let, 1, 1, 0, 0, Modes(3))});
  Run();
  EXPECT_EQ(f().TaskCode, task::MessageTyping);
  EXPECT_EQ(Errors("message line 5"), 1);
  EXPECT_EQ(Errors("voice name line 20000"), 1);
  f().TaskCode = task::Script;
  Load({Op(op::Background, 0, 0, 0, 9, kNameFlag), Op(op::Jump, 3)});
  Run();
  EXPECT_EQ(f().Pictures().BackgroundNo, 0);
  EXPECT_EQ(f().Script().StepNo, -1);
  EXPECT_EQ(Errors("resource name line 9"), 1);
  EXPECT_EQ(Errors("jump name line 3"), 1);
}

// Seeded random code over the whole instruction set with random modes and fields: whatever it does, the
// engine must neither crash nor touch memory outside its tables (the sanitizer build checks the latter).
TEST_F(Interp, RandomCodeRunsWithoutHarm) {
  using namespace op;
  static constexpr uint16_t kCodes[] = {
      0,       Background,     Layer1,     Layer5, Movie, Show, Bgm,  Se1,  Se3,  Jump,
      Call,    Label,          Return,     Let,    Add,   Sub,  Mul,  Div,  Mod,  Rand,
      Message, Choice,         IfEq,       IfNe,   IfLt,  IfGt, IfLe, IfGe, Else, EndOfBlock,
      Wait,    SystemFunction, SectionEnd, op::End};
  static constexpr int16_t kFields[] = {-32768, -2, -1, 0, 1, 2, 3, 7, 101, 201, 444, 512, 513, 32767};
  f().Script().ScriptInstructionBudget = 5000;
  f().Script().LabelNames = {u"a", u"b"};
  f().Script().JumpNames = {u"b", u"a", u"c"};
  f().Script().MessageTexts = {u"x"};
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    std::mt19937 rng(seed);
    auto field = [&] { return rng() % 2 ? kFields[rng() % std::size(kFields)] : static_cast<int16_t>(rng()); };
    std::vector<ScriptInstruction> code(200);
    for (auto& ins : code) {
      ins = Op(kCodes[rng() % std::size(kCodes)], field(), field(), field(),
               rng() % 3 ? field() : static_cast<int32_t>(rng()), static_cast<uint16_t>(rng()));
      // Jumps, calls and returns that would load another script stay in this one.
      if (ins.Code == op::Jump || ins.Code == op::Call) ins.Value = 0;
      if (ins.Code == op::Return) ins.Code = 0;
    }
    Load(code);
    for (int run = 0; run < 20; ++run) {
      Run();
      ASSERT_GE(f().Script().StepNo, -1) << seed;
      ASSERT_LT(f().Script().StepNo, 65536) << seed;
      ASSERT_GE(f().Script().ReturnDepth, 0);
      ASSERT_LE(f().Script().ReturnDepth, 16);
      f().TaskCode = task::Script;
      f().Script().NormalPlay = 1;
    }
  }
}

}  // namespace
}  // namespace mokuren::testing
