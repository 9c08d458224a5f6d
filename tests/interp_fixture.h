// A headless engine whose loaded code a test writes directly, one instruction at a time, and runs with
// Kumo_TaskScript. Scripts that jump to other scripts or return need SCRIPT.DAT: those are tested in
// the scenario language (interp_scenario_test.cpp).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "script/opcodes.h"
#include "support/engine_fixture.h"

namespace mokuren::testing {

// Operand modes of an instruction: 0 value, 1 F, 2 S, 3 W.
constexpr uint16_t Modes(int p1, int p2 = 0, int p3 = 0, int value = 0) {
  return static_cast<uint16_t>(p1 | p2 << 2 | p3 << 4 | value << 8);
}

inline ScriptInstruction Op(uint16_t code, int16_t p1 = 0, int16_t p2 = 0, int16_t p3 = 0, int32_t value = 0,
                            uint16_t modes = 0) {
  return ScriptInstruction{code, modes, p1, p2, p3, 0, value};
}

inline ScriptInstruction Nop() { return Op(0); }
inline ScriptInstruction End() { return Op(op::End); }
// A timed wait of 0 ms: yields, so a test can look at the state after the instructions before it.
inline ScriptInstruction Yield() { return Op(op::Wait, 0); }

class Interp : public EngineFixture {
 protected:
  void SetUp() override {
    StartEngine();
    Passes(1);                 // start-up: script 1 is loaded
    Machine().NormalPlay = 1;  // as after a new game from the title
    errorsAtStart_ = EngineFixture::Errors().size();
  }

  // The script machine, the layer these tests drive.
  ScriptMachine& Machine() { return form_->Script(); }

  // Lines the error list gained since start-up.
  size_t NewErrors() const { return EngineFixture::Errors().size() - errorsAtStart_; }

  // Replaces the loaded code by `code` and an end instruction, and starts it from its first instruction.
  void Load(const std::vector<ScriptInstruction>& code, int16_t scriptNo = 1) {
    auto& sc = Machine().ScriptCode;
    std::copy(code.begin(), code.end(), sc.begin());
    sc[code.size()] = End();
    Machine().ScriptNo = scriptNo;
    Machine().StepNo = -1;
    form_->TaskCode = task::Script;
  }

  // Runs the interpreter once: instructions until one yields.
  void Run() { Machine().Kumo_TaskScript(); }

  // Error-list lines that contain `text`.
  int Errors(const std::string& text) const { return ErrorsWith(text); }

  TForm1& f() { return *form_; }

  size_t errorsAtStart_ = 0;
};

}  // namespace mokuren::testing
