// Kumo_TaskScript: the fetch-and-execute cycle and the instruction set. The longer sequences (message,
// choice, end of script, waits and system functions) are in script_sequences.cpp.
#include <optional>
#include <random>
#include <utility>

#include "base/error_list.h"
#include "base/error_texts.h"
#include "base/text_codec.h"
#include "script/opcodes.h"
#include "script/script_machine.h"

namespace mokuren {

namespace {

std::u16string Num(int64_t n) { return FromUtf8(std::to_string(n)); }

// Jump targets are signed 16-bit: a search result beyond 32767 wraps to a negative step.
int32_t AsStep(int32_t searchResult) { return static_cast<int16_t>(searchResult); }

}  // namespace

void ScriptMachine::ReportScriptFault(const std::u16string& what) {
  // A script with faults everywhere must not flood the list, nor slow every instruction that meets one.
  constexpr size_t kMaxReported = 1000;
  if (ReportedScriptFaults.size() > kMaxReported) return;
  if (!ReportedScriptFaults.insert(u"script " + Num(ScriptNo) + u" step " + Num(StepNo) + u": " + what).second) return;
  if (ReportedScriptFaults.size() <= kMaxReported) {
    errors_.AddAt(ScriptNo, StepNo, what);
    return;
  }
  // Said once, of no place.
  const bool placed = errors_.Placed();
  errors_.ClearPlace();
  errors_.Add(u"script: too many faults; no more are listed");
  if (placed) errors_.SetPlace(ScriptNo, StepNo);
}

void ScriptMachine::Kumo_TaskScript() {
  // The voice replayed by the on-screen button stops being "on" once the script moves on.
  host_.ReleaseVoiceButton();
  // The voice stops when the script moves on, unless it is to keep playing into the following messages.
  host_.StopVoiceUnlessLooping();

  // A step set from outside (start-up, a restored game, the menus) must lie inside the loaded code:
  // from the first instruction (StepNo -1) up to the end instruction.
  if (ScriptNo != LeftScriptNo || StepNo != LeftStepNo) {
    if (StepNo < -1 || StepNo >= LoadedCodeEnd()) {
      ReportScriptFault(u"the step is outside the loaded code; the script starts again at instruction 0");
      StepNo = -1;
    }
  }

  // Run until an instruction yields, but never more than the budget in one pass: a script that
  // never yields (a loop without a message or wait) then still leaves the window responsive.
  // Operand resolution without a call per operand; only a bad variable number takes the slow,
  // reporting path.
  VarBank* const banks[4] = {nullptr, &ScenarioVars, &SystemVars, &WorkVars};
  auto resolve = [&](int mode, int16_t field) -> int16_t {
    if (mode == kModeValue) return field;
    if (VarBank::Valid(field)) [[likely]]
      return banks[mode]->Get(field);
    return ResolveOperand(mode, field);
  };
  bool yielded = false;
  SearchWork = 0;
  for (int64_t n = 0; n + SearchWork < ScriptInstructionBudget && !yielded; ++n) {
    // Fetch the next instruction.
    ++StepNo;
    if (StepNo < 0 || StepNo >= static_cast<int32_t>(ScriptCode.size())) {
      ReportScriptFault(u"execution left the loaded code; the script starts again at instruction 0");
      StepNo = 0;
    }
    const ScriptInstruction& ins = ScriptCode[StepNo];
    ScriptRegisters& r = CurrentInstruction;
    r.Stored = ins;
    r.Code = ins.Code;
    r.Modes = ins.Modes;
    r.NameFlag = (ins.Modes & kNameFlag) != 0;
    // Operands: the stored values, or read from their variable banks.
    if ((ins.Modes & 0x3FF) == 0) {
      r.Mode[0] = r.Mode[1] = r.Mode[2] = r.Mode[3] = r.Mode[4] = 0;
      r.P1 = ins.P1;
      r.P2 = ins.P2;
      r.P3 = ins.P3;
      r.P4 = ins.P4;
      r.Value = ins.Value;
    } else {
      for (int i = 0; i < 5; ++i) r.Mode[i] = static_cast<uint8_t>(OperandMode(ins.Modes, i));
      // An assignment's P1 names its target: a bad number there is reported once, by the store.
      const bool target = ins.Code >= op::Let && ins.Code <= op::Rand && r.Mode[0] != kModeValue;
      r.P1 = target ? banks[r.Mode[0]]->Get(ins.P1) : resolve(r.Mode[0], ins.P1);
      r.P2 = resolve(r.Mode[1], ins.P2);
      r.P3 = resolve(r.Mode[2], ins.P3);
      r.P4 = resolve(r.Mode[3], ins.P4);
      r.Value = r.Mode[4] == kModeValue ? ins.Value : ResolveValue(r.Mode[4], ins.Value);
    }
    if (watch_) [[unlikely]]
      watch_(ScriptNo, StepNo, r);
    // Execute. What the instruction causes to be told (a missing file, a message too long) is told with
    // its place, once.
    errors_.SetPlace(ScriptNo, StepNo);
    yielded = ExecuteInstruction();
    errors_.ClearPlace();
  }
  if (yielded) {
    RunawayReported = false;
  } else if (!RunawayReported) {
    RunawayReported = true;
    errors_.Add(error_text::kRunawayScript, {{u"script", Num(ScriptNo)}, {u"count", Num(ScriptInstructionBudget)}});
  }
  LeftScriptNo = ScriptNo;
  LeftStepNo = StepNo;
}

bool ScriptMachine::ExecuteInstruction() {
  const ScriptRegisters& r = CurrentInstruction;
  switch (r.Code) {
    case op::Background: ScriptBackground(); return false;
    case op::Layer1:
    case op::Layer2:
    case op::Layer3:
    case op::Layer4:
    case op::Layer5: ScriptLayer(r.Code - op::Layer1 + 1); return false;
    case op::Movie:
      // Opening movie.
      host_.Input().ClickPending = 0;
      if (SystemVars[451] != 0) return false;
      host_.StartOpeningMovie();
      return true;
    case op::Show:
      // Show: cross-fade the composed scene in.
      host_.CrossFadeIn();
      host_.DropMessageFrame();
      return true;
    case op::Bgm: host_.PlayMusic(r.Value, r.P2, r.P1); return false;
    case op::Se1:
    case op::Se2:
    case op::Se3: host_.PlayEffect(r.Code - op::Se1 + 1, r.Value, r.P1, r.P2); return false;
    case op::Jump: return ScriptJump(false);
    case op::Call: return ScriptJump(true);
    case op::Return: return ScriptReturn();
    case op::Let:
    case op::Add:
    case op::Sub:
    case op::Mul:
    case op::Div:
    case op::Mod:
    case op::Rand: ScriptAssign(); return false;
    case op::Message: ScriptMessage(); return true;
    case op::Choice: ScriptChoice(); return true;
    case op::IfEq:
    case op::IfNe:
    case op::IfLt:
    case op::IfGt:
    case op::IfLe:
    case op::IfGe: return ScriptCondition();
    case op::Else:
      // Else: skip to the block's end marker.
      SetJumpStep(GetElseStep(r.P1));
      return false;
    case op::Wait: return ScriptWait();
    case op::SystemFunction: return ScriptSystemFunction();
    case op::SectionEnd: {
      // End of a skippable section.
      PlayModes& modes = host_.Modes();
      modes.SceneSkip = modes.SectionSkip = modes.SectionSkipRequest = 0;
      return true;
    }
    case op::End: ScriptEnd(); return true;
    default: return false;  // labels, block ends and unknown codes do nothing
  }
}

int32_t ScriptMachine::NamedPicture(int32_t line) {
  const std::u16string name = ResourceLine(line);
  const int32_t entry = host_.PictureEntry(name);
  if (entry == 0 && !Trim(name).empty())
    ReportScriptFault(errors_.Shown(error_text::kPictureNotNamed, {{u"name", name}, {u"file", u"GRAPHIC.DAT"}}));
  return entry;
}

void ScriptMachine::ScriptBackground() {
  ScriptRegisters& r = CurrentInstruction;
  int32_t value = r.Value;
  if (r.NameFlag) value = NamedPicture(value);
  host_.NoteBackground(value);
  if (value == 0) {
    host_.BlackBackground();
  } else {
    host_.LoadPicture(0, value);
  }
}

void ScriptMachine::ScriptLayer(int k) {
  ScriptRegisters& r = CurrentInstruction;
  int32_t value = r.Value;
  if (r.NameFlag) value = NamedPicture(value);
  std::optional<int32_t> x;
  switch (r.P1) {
    case 1: x = -200; break;
    case 2: x = 0; break;
    case 3: x = 200; break;
    default: break;  // any other position code keeps the layer where it was
  }
  host_.PlaceLayer(k, value, x);
  host_.LoadPicture(k, value);
}

std::u16string ScriptMachine::ResourceLine(int32_t line) {
  if (line >= 0 && line < static_cast<int32_t>(ResourceNames.size())) return ResourceNames[line];
  ReportScriptFault(u"resource name line " + Num(line) + u" is not in the table (" + Num(ResourceNames.size()) +
                    u" lines); no image is named");
  return {};
}

bool ScriptMachine::ScriptJump(bool call) {
  const ScriptRegisters& r = CurrentInstruction;
  if (call) {
    if (ReturnDepth < 0 || ReturnDepth > 16) {
      ReportScriptFault(u"the return table's depth " + Num(ReturnDepth) + u" is outside 0-16; it is emptied");
      Kumo_ClearReturnTbl();
    }
    if (ReturnDepth == 16) {
      // Only 16 calls can be outstanding. Keep the 16 most recent, so the innermost returns still land
      // where they should; the oldest return is forgotten.
      ReportScriptFault(u"a 17th nested call; the oldest return is forgotten");
      for (int i = 0; i < 15; ++i) ReturnTable[i] = ReturnTable[i + 1];
      ReturnDepth = 15;
    }
    ReturnDepth += 1;
    ReturnTable[ReturnDepth - 1] = {ScriptNo, static_cast<int16_t>(StepNo)};
  }
  std::u16string name;
  if (r.P1 >= 0 && r.P1 < static_cast<int32_t>(JumpNames.size())) {
    name = JumpNames[r.P1];
  } else {
    ReportScriptFault(u"jump name line " + Num(r.P1) + u" is not in the table (" + Num(JumpNames.size()) + u" lines)");
  }
  if (r.Value != 0) Kumo_ReadScript(r.Value);
  SetJumpStep(GetLabelStep(name));
  return true;
}

void ScriptMachine::SetJumpStep(int32_t target) {
  int32_t step = AsStep(target);
  if (step < -1) {
    ReportScriptFault(u"the jump target, step " + Num(target) +
                      u", lies beyond step 32767; the script starts again at instruction 0");
    step = -1;
  }
  StepNo = step;
}

bool ScriptMachine::ScriptReturn() {
  if (ReturnDepth <= 0) return false;  // an empty table: nothing happens and the script goes on
  if (ReturnDepth > 16) {
    ReportScriptFault(u"the return table's depth " + Num(ReturnDepth) + u" is over 16; entry 16 is used");
    ReturnDepth = 16;
  }
  const ReturnEntry entry = ReturnTable[ReturnDepth - 1];
  ReturnDepth -= 1;
  Kumo_ReadScript(entry.Script);
  ScriptNo = entry.Script;
  StepNo = entry.Step;
  // Execution continues after the call instruction, which must lie in the reloaded code.
  if (StepNo < -1 || StepNo >= LoadedCodeEnd()) {
    ReportScriptFault(u"the return step is outside the loaded code; the script starts again at instruction 0");
    StepNo = -1;
  }
  return true;
}

void ScriptMachine::ScriptAssign() {
  const ScriptRegisters& r = CurrentInstruction;
  VarBank* bank = BankOfMode(r.Mode[0]);
  if (!bank) return;  // a plain value names no variable: nothing is stored
  const int32_t a = r.P2, b = r.P3;
  int32_t result = 0;
  switch (r.Code) {
    case op::Let: result = a; break;
    case op::Add: result = a + b; break;
    case op::Sub: result = a - b; break;
    case op::Mul: result = a * b; break;
    case op::Div: result = b == 0 ? 0 : a / b; break;  // C++ division truncates toward zero
    case op::Mod: result = b == 0 ? 0 : a % b; break;  // and the remainder takes the sign of a
    case op::Rand: {
      int32_t lo = a, hi = b;
      if (lo > hi) std::swap(lo, hi);
      result = std::uniform_int_distribution<int32_t>(lo, hi)(Random);
      break;
    }
    default: return;
  }
  const int32_t target = r.Stored.P1;
  if (!VarBank::Valid(target)) {
    ReportScriptFault(u"variable number " + Num(target) + u" (" + BankLetter(r.Mode[0]) +
                      u") is outside 1-512; nothing is stored");
    return;
  }
  bank->Set(target, static_cast<int16_t>(result));  // 16-bit wrap-around
}

bool ScriptMachine::ScriptCondition() {
  const ScriptRegisters& r = CurrentInstruction;
  const int16_t a = r.P2, b = r.P3;
  bool goOn = false;
  switch (r.Code) {
    case op::IfEq: goOn = a == b; break;
    case op::IfNe: goOn = a != b; break;
    case op::IfLt: goOn = a < b; break;
    case op::IfGt: goOn = a > b; break;
    case op::IfLe: goOn = a <= b; break;
    case op::IfGe: goOn = a >= b; break;
    default: break;
  }
  if (!goOn) SetJumpStep(GetElseStep(r.P1));
  return false;
}

}  // namespace mokuren
