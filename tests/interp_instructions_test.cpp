// The interpreter on code written instruction by instruction: assignments and 16-bit arithmetic,
// conditions and blocks, labels, waits, layers, system functions, messages and the end of a script.
#include <set>

#include "interp_fixture.h"

namespace mokuren::testing {
namespace {

TEST_F(Interp, AssignmentsWriteTheVariableThatP1NamesWithSixteenBitWrapAround) {
  f().Script().WorkVars[5] = 9;
  f().Script().WorkVars[6] = 9;
  f().Script().WorkVars[20] = -5;
  Load({
      Op(op::Let, 5, 7, 0, 0, Modes(1)),        // F5 = 7
      Op(op::Let, 5, 99),                       // a plain value names no variable: nothing is stored
      Op(op::Add, 1, 32767, 1, 0, Modes(3)),    // W1 = 32767 + 1
      Op(op::Mul, 2, 300, 300, 0, Modes(3)),    // W2 = 300 * 300: the low 16 bits
      Op(op::Div, 3, -7, 2, 0, Modes(3)),       // W3 = -7 / 2 toward zero
      Op(op::Mod, 4, -7, 2, 0, Modes(3)),       // W4 = -7 % 2 with the sign of -7
      Op(op::Div, 5, 5, 0, 0, Modes(3)),        // division by 0 stores 0
      Op(op::Mod, 6, 5, 0, 0, Modes(3)),        // and so does the remainder
      Op(op::Div, 7, -32768, -1, 0, Modes(3)),  // the one quotient that overflows wraps back
      Op(op::Sub, 8, 5, 1, 0, Modes(2, 1, 3)),  // S8 = F5 - W1, read from the banks
      Op(op::Let, 9, 20, 0, 0, Modes(1, 3)),    // F9 = W20
      Op(0, 0, 0, 0, 20, Modes(0, 0, 0, 3)),    // Value from W20 is sign-extended
      Yield(),
  });
  Run();
  EXPECT_EQ(f().Script().ScenarioVars[5], 7);
  EXPECT_EQ(f().Script().WorkVars[1], -32768);
  EXPECT_EQ(f().Script().WorkVars[2], static_cast<int16_t>(90000 - 65536));
  EXPECT_EQ(f().Script().WorkVars[3], -3);
  EXPECT_EQ(f().Script().WorkVars[4], -1);
  EXPECT_EQ(f().Script().WorkVars[5], 0);
  EXPECT_EQ(f().Script().WorkVars[6], 0);
  EXPECT_EQ(f().Script().WorkVars[7], -32768);
  EXPECT_EQ(f().Script().SystemVars[8], static_cast<int16_t>(7 + 32768));
  EXPECT_EQ(f().Script().ScenarioVars[9], -5);
  EXPECT_EQ(f().TaskCode, task::Wait);
  EXPECT_EQ(NewErrors(), 0u);
}

TEST_F(Interp, RandomDrawsEveryNumberOfItsRangeWhicheverWayRoundTheBoundsAre) {
  std::set<int> seen, seenNegative;
  for (int i = 0; i < 400; ++i) {
    Load({Op(op::Rand, 1, 5, 2, 0, Modes(3)), Op(op::Rand, 2, -1, -3, 0, Modes(3)), Op(op::Rand, 3, 4, 4, 0, Modes(3)),
          Yield()});
    Run();
    seen.insert(f().Script().WorkVars[1]);
    seenNegative.insert(f().Script().WorkVars[2]);
    ASSERT_EQ(f().Script().WorkVars[3], 4);
  }
  EXPECT_EQ(seen, (std::set<int>{2, 3, 4, 5}));
  EXPECT_EQ(seenNegative, (std::set<int>{-3, -2, -1}));
}

// Block 3: a condition at step 10, its else marker at step 20 and its end marker at step 30, with an
// end marker of another block (4) in between that a search for block 3 passes over.
std::vector<ScriptInstruction> BlockScript(ScriptInstruction condition) {
  std::vector<ScriptInstruction> code(40, Nop());
  code[10] = condition;
  code[11] = Op(op::Let, 1, 11, 0, 0, Modes(3));  // W1 = 11: the true part ran
  code[12] = Yield();
  code[15] = Op(op::EndOfBlock, 4);
  code[20] = Op(op::Else, 3);
  code[21] = Op(op::Let, 1, 21, 0, 0, Modes(3));  // W1 = 21: the else part ran
  code[22] = Yield();
  code[30] = Op(op::EndOfBlock, 3);
  code[31] = Op(op::Let, 2, 31, 0, 0, Modes(3));  // W2 = 31: after the block
  code[32] = Yield();
  return code;
}

TEST_F(Interp, AFailedConditionGoesOnAfterTheBlocksNextMarkerAndElseSkipsToItsEnd) {
  Load(BlockScript(Op(op::IfEq, 3, 1, 2)));  // 1 == 2 fails
  Run();
  EXPECT_EQ(f().Script().WorkVars[1], 21);
  EXPECT_EQ(f().Script().StepNo, 22);

  f().Script().WorkVars[1] = 0;
  Load(BlockScript(Op(op::IfEq, 3, 2, 2)));  // 2 == 2 holds
  Run();
  EXPECT_EQ(f().Script().WorkVars[1], 11);
  EXPECT_EQ(f().Script().StepNo, 12);
  f().TaskCode = task::Script;
  f().Script().StepNo = 19;  // the true part ends at the else marker
  Run();
  EXPECT_EQ(f().Script().WorkVars[1], 11);
  EXPECT_EQ(f().Script().WorkVars[2], 31);
}

TEST_F(Interp, ComparisonsAreSigned) {
  struct Case {
    uint16_t code;
    int16_t a, b;
    bool holds;
  };
  using namespace op;
  const Case cases[] = {{IfEq, 5, 5, true},  {IfEq, 5, -5, false}, {IfNe, 5, -5, true}, {IfNe, 7, 7, false},
                        {IfLt, -1, 1, true}, {IfLt, 1, -1, false}, {IfGt, 1, -1, true}, {IfGt, -32768, 32767, false},
                        {IfLe, 3, 3, true},  {IfLe, 4, 3, false},  {IfGe, 3, 3, true},  {IfGe, -4, 3, false}};
  for (const Case& c : cases) {
    f().Script().WorkVars[1] = 0;
    Load(BlockScript(Op(c.code, 3, c.a, c.b)));
    Run();
    EXPECT_EQ(f().Script().WorkVars[1], c.holds ? 11 : 21) << c.code << " " << c.a << " " << c.b;
  }
}

TEST_F(Interp, AJumpGoesOnAfterTheFirstLabelOfItsNameAndAMissingNameRestartsTheScript) {
  f().Script().LabelNames = {u"other", u"twice"};
  f().Script().JumpNames = {u"twice", u"nowhere"};
  const std::vector<ScriptInstruction> code = {
      Op(op::Jump, 0),  // 0: jump "twice"
      Op(op::Let, 1, 1, 0, 0, Modes(3)),
      Yield(),  // 1-2
      Op(op::Label, 1),
      Op(op::Let, 1, 4, 0, 0, Modes(3)),
      Yield(),  // 3-5: the first label "twice"
      Op(op::Label, 1),
      Op(op::Let, 1, 7, 0, 0, Modes(3)),
      Yield(),  // 6-8: the second one
  };
  Load(code);
  Run();
  EXPECT_EQ(f().Script().StepNo, 3);  // the label itself; execution goes on after it
  EXPECT_EQ(f().TaskCode, task::Script);
  Run();
  EXPECT_EQ(f().Script().WorkVars[1], 4);

  std::vector<ScriptInstruction> missing = code;
  missing[0] = Op(op::Jump, 1);  // jump "nowhere"
  Load(missing);
  Run();
  EXPECT_EQ(f().Script().StepNo, -1);
  EXPECT_EQ(NewErrors(), 0u);  // a missing label is the scenario's business, not a fault
}

TEST_F(Interp, ACallRemembersWhereItCameFromAndAReturnWithAnEmptyTableGoesOn) {
  f().Script().LabelNames = {u"sub"};
  f().Script().JumpNames = {u"sub"};
  Load({Nop(), Op(op::Call, 0), Op(op::Label, 0), Yield()}, 4);
  Run();
  EXPECT_EQ(f().Script().ReturnDepth, 1);
  EXPECT_EQ(f().Script().ReturnTable[0].Script, 4);
  EXPECT_EQ(f().Script().ReturnTable[0].Step, 1);
  EXPECT_EQ(f().Script().StepNo, 2);

  f().Script().Kumo_ClearReturnTbl();
  Load({Op(op::Return), Op(op::Let, 1, 1, 0, 0, Modes(3)), Yield()});
  Run();
  EXPECT_EQ(f().Script().WorkVars[1], 1);  // the return did not yield
  EXPECT_EQ(f().Script().ReturnDepth, 0);
}

TEST_F(Interp, TimedKeyAndMovieWaits) {
  const uint32_t now = platform().TickCount();
  Load({Op(op::Wait, 250, 1)});
  Run();
  EXPECT_EQ(f().TaskCode, task::Wait);
  EXPECT_EQ(f().Script().WaitDeadline, static_cast<int32_t>(now + 250));
  EXPECT_EQ(f().Script().WaitClickable, 1);

  Load({Op(op::Wait, 32767, 0)});
  Run();
  EXPECT_EQ(f().Script().WaitDeadline, static_cast<int32_t>(now + 32767));
  EXPECT_EQ(f().Script().WaitClickable, 0);

  Load({Op(op::Wait, op::wait::Click)});
  Run();
  EXPECT_EQ(f().TaskCode, task::WaitKey);

  f().Text().SceneSkip = 1;  // scene skip does not wait, but the pass ends there
  Load({Op(op::Wait, op::wait::Click), Op(op::Let, 1, 1, 0, 0, Modes(3)), Yield()});
  Run();
  EXPECT_EQ(f().TaskCode, task::Script);
  EXPECT_EQ(f().Script().StepNo, 0);
  f().Text().SceneSkip = 0;

  Load({Op(op::Wait, op::wait::Movie)});
  Run();
  EXPECT_EQ(f().TaskCode, task::WaitMovie);

  f().Script().SystemVars[451] = 1;  // the movie is switched off: -6, like any other negative kind, does nothing
  Load({Op(op::Wait, op::wait::Movie), Op(op::Wait, -3), Op(op::Let, 2, 1, 0, 0, Modes(3)), Yield()});
  Run();
  EXPECT_EQ(f().Script().WorkVars[2], 1);
}

TEST_F(Interp, ALayerKeepsItsXForAnUnknownPositionAndIsResetOtherwise) {
  f().Pictures().LayerPos[0] = {123, 50};
  f().Pictures().LayerOpacity[0] = 9;
  Load({Op(op::Layer1, 4, 0, 0, 0), Op(op::Layer3, 1, 0, 0, 0), Op(op::Layer5, 3, 0, 0, 0), Yield()});
  Run();
  EXPECT_EQ(f().Pictures().LayerPos[0].X, 123);
  EXPECT_EQ(f().Pictures().LayerPos[0].Y, 0);
  EXPECT_EQ(f().Pictures().LayerOpacity[0], 255);
  EXPECT_EQ(f().Pictures().LayerPos[2].X, -200);
  EXPECT_EQ(f().Pictures().LayerPos[4].X, 200);
}

TEST_F(Interp, SystemFunctions) {
  f().Text().ReadSkip = f().Text().SceneSkip = f().Text().AutoMode = 1;
  f().Text().LoopingVoice = 1;
  using op::SystemFunction;
  Load({Op(SystemFunction, op::sys::Cursor, 0), Op(SystemFunction, op::sys::SystemMenu, 5),
        Op(SystemFunction, op::sys::AllowSkip, 1), Op(SystemFunction, op::sys::SectionSkip, 1),
        Op(SystemFunction, op::sys::StopVoice), Op(SystemFunction, 999), Nop(), Op(SystemFunction, op::sys::Title)});
  f().Text().SectionSkipRequest = 1;
  Run();
  EXPECT_EQ(Kept().Live.CursorShown, 0);
  EXPECT_FALSE(platform().CursorShownNow());
  EXPECT_EQ(Kept().Live.SystemMenuAllowed, 1);
  EXPECT_EQ(Kept().Live.SkipAllowed, 1);
  EXPECT_EQ(f().Text().SectionSkip, 1);
  EXPECT_EQ(f().Text().SectionSkipRequest, 0);
  EXPECT_EQ(f().Text().LoopingVoice, 0);
  // The title menu: normal play, and the script will come back to this step after a scene replay.
  EXPECT_EQ(f().TaskCode, task::TitleMenuOpen);
  EXPECT_EQ(f().Script().NormalPlay, 1);
  EXPECT_EQ(f().Script().TitleReturnStep, 7);
  EXPECT_EQ(f().Text().ReadSkip + f().Text().SceneSkip + f().Text().AutoMode, 0);
}

TEST_F(Interp, AVoiceOfKindSevenRepeatsAndKeepsPlayingUnlessAutoModeIsOn) {
  f().Script().MessageTexts = {u"一", u"二"};
  f().Script().ResourceNameArray[0] = u"V001";
  Load({Op(op::Message, 0, 7, 0, 0)});
  Run();
  EXPECT_EQ(f().TaskCode, task::MessageTyping);
  EXPECT_EQ(f().Text().VoiceRepeat, 1);
  EXPECT_EQ(f().Text().LoopingVoice, 1);
  EXPECT_EQ(f().Text().CurrentVoice, 0);

  f().Text().LoopingVoice = 0;
  f().Text().AutoMode = 1;
  Load({Op(op::Message, 1, 7, 0, 0)});
  Run();
  EXPECT_EQ(f().Text().VoiceRepeat, 0);
  EXPECT_EQ(f().Text().LoopingVoice, 0);
}

TEST_F(Interp, ReadSkipGoesOverReadMessagesAndStopsAtTheFirstUnreadOne) {
  f().Script().MessageTexts = {u"一", u"二", u"三"};
  f().Script().ReadMarks[1][0] = 0x01;  // message 0 of script 1 was read
  f().Text().ReadSkip = 1;
  Load({Op(op::Message, 0, 0, 0, -1), Op(op::Message, 1, 0, 0, -1)});
  Run();
  EXPECT_EQ(f().Text().FastForward, 1);
  EXPECT_EQ(f().Text().ReadSkip, 1);
  f().TaskCode = task::Script;
  Run();
  EXPECT_EQ(f().Text().FastForward, 0);
  EXPECT_EQ(f().Text().ReadSkip, 0);
  EXPECT_EQ(f().Script().ReadMarks[1][0], 0x03);  // both are marked now

  // In a scene replay every message counts as read, and scene skip follows the same rule.
  f().Script().NormalPlay = 0;
  f().Text().SceneSkip = 1;
  Load({Op(op::Message, 2, 0, 0, -1)});
  Run();
  EXPECT_EQ(f().Text().FastForward, 1);
  EXPECT_EQ(f().Text().SceneSkip, 1);
}

TEST_F(Interp, AChoiceEndsEverySkipAndAutoMode) {
  f().Script().MessageTexts = {u"はい,いいえ"};
  f().Text().ReadSkip = f().Text().SceneSkip = f().Text().AutoMode = f().Text().FastForward = 1;
  f().Text().MessageDone = 1;
  Load({Op(op::Choice, 0, 3)});
  Run();
  EXPECT_EQ(f().TaskCode, task::SelectWait);
  EXPECT_EQ(f().Text().ReadSkip + f().Text().SceneSkip + f().Text().AutoMode + f().Text().FastForward +
                f().Text().MessageDone,
            0);
  EXPECT_EQ(f().Text().ChoiceActive, 1);
  EXPECT_EQ(f().Text().CurrentVoice, 3);
}

TEST_F(Interp, TheEndOfAScriptRestartsItInNormalPlayAndChainsTheScenesOfAReplay) {
  Load({Op(op::Let, 1, 1, 0, 0, Modes(3))});
  Run();
  EXPECT_EQ(f().Script().StepNo, -1);
  EXPECT_EQ(f().TaskCode, task::Script);

  // A replay of scripts 5 and 1, now at the first: the end runs the next listed script from its top.
  f().Script().NormalPlay = 0;
  f().Script().SceneTableRaw[0] = 5;
  f().Script().SceneTableRaw[1] = 1;
  f().Script().SceneTableCursor = 1;
  f().Script().TitleReturnStep = 2;
  Load({}, 5);
  Run();
  EXPECT_EQ(f().Script().ScriptNo, 1);
  EXPECT_EQ(f().Script().StepNo, -1);
  EXPECT_EQ(f().TaskCode, task::Script);
  // Script 1 of the test game loops; its end stands for the end of the last listed scene.
  f().Script().StepNo = 1;
  Run();
  EXPECT_EQ(f().TaskCode, task::EvMenuOpen);
  EXPECT_EQ(f().Script().ScriptNo, 1);
  EXPECT_EQ(f().Script().StepNo, 2);  // where the title menu was opened
  EXPECT_EQ(f().Script().SceneTableRaw[0], 0);
  EXPECT_EQ(f().Script().SceneTableRaw[1], 0);
}

}  // namespace
}  // namespace mokuren::testing
