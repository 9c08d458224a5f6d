// The three variable banks as the interpreter sees them: operand resolution and clearing.
#include "base/text_codec.h"
#include "script/script_machine.h"

namespace mokuren {

VarBank* ScriptMachine::BankOfMode(int mode) {
  switch (mode) {
    case kModeScenario: return &ScenarioVars;
    case kModeSystem: return &SystemVars;
    case kModeWork: return &WorkVars;
    default: return nullptr;
  }
}

int16_t ScriptMachine::ResolveOperand(int mode, int16_t field) {
  VarBank* bank = BankOfMode(mode);
  if (!bank) return field;
  if (!VarBank::Valid(field)) {
    ReportScriptFault(u"variable number " + FromUtf8(std::to_string(field)) + u" (" + BankLetter(mode) +
                      u") is outside 1-512; it reads as 0");
  }
  return bank->Get(field);
}

int32_t ScriptMachine::ResolveValue(int mode, int32_t field) {
  VarBank* bank = BankOfMode(mode);
  if (!bank) return field;
  // The field names a variable; the variable's 16-bit content is sign-extended.
  if (field < 1 || field > 512) {
    ReportScriptFault(u"variable number " + FromUtf8(std::to_string(field)) + u" (" + BankLetter(mode) +
                      u") is outside 1-512; it reads as 0");
    return 0;
  }
  return bank->Get(field);
}

void ScriptMachine::Kumo_ClearScenarioFlg() { ScenarioVars.Clear(); }

void ScriptMachine::Kumo_ClearReturnTbl() {
  for (ReturnEntry& e : ReturnTable) e = {0, 0};
  ReturnDepth = 0;
}

}  // namespace mokuren
