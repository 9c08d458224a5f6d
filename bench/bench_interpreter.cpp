// Instructions per second of the script interpreter on arithmetic and on condition-heavy code, each
// against a reference in the same run: a plain loop doing the same operations on an int16 array.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "app/TForm1.h"
#include "backends/headless/headless_platform.h"
#include "script/opcodes.h"

namespace mokuren {
namespace {

constexpr int kOps = 4000;

struct Engine {
  HeadlessPlatform platform;
  TForm1 form{platform, LaunchOptions{}};
  Engine() {
    form.Script().NormalPlay = 1;
    form.Text().LoopingVoice = 1;  // keeps the voice slot out of the measurement
  }
  // Loads the code followed by a yielding wait, and runs it once through.
  void Load(const std::vector<ScriptInstruction>& code) {
    std::copy(code.begin(), code.end(), form.Script().ScriptCode.begin());
    form.Script().ScriptCode[code.size()] = ScriptInstruction{op::Wait, 0, 0, 0, 0, 0, 0};
    form.Script().ScriptCode[code.size() + 1] = ScriptInstruction{op::End, 0, 0, 0, 0, 0, 0};
  }
  void RunOnce() {
    form.Script().StepNo = -1;
    form.TaskCode = task::Script;
    form.Script().Kumo_TaskScript();
  }
};

constexpr uint16_t kWork3 = 3 | 3 << 2 | 3 << 4;  // P1, P2 and P3 are work variables

// Work variables 1..64 combined by + - * / % in a fixed random order.
std::vector<ScriptInstruction> ArithmeticCode() {
  std::mt19937 rng(7);
  std::vector<ScriptInstruction> code;
  for (int i = 0; i < kOps; ++i) {
    auto v = [&] { return static_cast<int16_t>(1 + rng() % 64); };
    code.push_back({static_cast<uint16_t>(op::Add + rng() % 5), kWork3, v(), v(), v(), 0, 0});
  }
  return code;
}

int16_t Apply(uint16_t code, int32_t a, int32_t b) {
  switch (code) {
    case op::Add: return static_cast<int16_t>(a + b);
    case op::Sub: return static_cast<int16_t>(a - b);
    case op::Mul: return static_cast<int16_t>(a * b);
    case op::Div: return static_cast<int16_t>(b == 0 ? 0 : a / b);
    default: return static_cast<int16_t>(b == 0 ? 0 : a % b);
  }
}

void Seed(int16_t* vars) {
  for (int i = 0; i < 64; ++i) vars[i] = static_cast<int16_t>(i * 37 - 1000);
}

void BM_InterpreterArithmetic(benchmark::State& state) {
  Engine e;
  e.Load(ArithmeticCode());
  Seed(e.form.Script().WorkVarsRaw.data());
  for (auto _ : state) {
    e.RunOnce();
    benchmark::DoNotOptimize(e.form.Script().WorkVarsRaw.data());
  }
  state.counters["instructions/s"] =
      benchmark::Counter(double(state.iterations()) * (kOps + 1), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_InterpreterArithmetic);

// The reference: the same operations decoded from the same records, on a plain int16 array.
void BM_ReferenceArithmetic(benchmark::State& state) {
  const auto code = ArithmeticCode();
  int16_t vars[512];
  Seed(vars);
  for (auto _ : state) {
    for (const ScriptInstruction& ins : code) vars[ins.P1 - 1] = Apply(ins.Code, vars[ins.P2 - 1], vars[ins.P3 - 1]);
    benchmark::DoNotOptimize(vars);
  }
  state.counters["instructions/s"] = benchmark::Counter(double(state.iterations()) * kOps, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReferenceArithmetic);

// Blocks of five: a condition on two work variables, a true part, an else marker, an else part and the
// end marker. About half the conditions fail and search forward to the else marker; a true part ends at
// the else marker, which searches forward to the end marker. Either way a block runs three instructions.
constexpr uint16_t kIncrement = 3 | 3 << 2;     // W(P1) = W(P2) + P3
constexpr uint16_t kCompare = 3 << 2 | 3 << 4;  // P2 and P3 are work variables

std::vector<ScriptInstruction> ConditionCode() {
  std::mt19937 rng(11);
  std::vector<ScriptInstruction> code;
  for (int block = 1; code.size() + 5 <= kOps; ++block) {
    const auto k = static_cast<int16_t>(block);
    const auto a = static_cast<int16_t>(1 + rng() % 8), b = static_cast<int16_t>(1 + rng() % 8);
    code.push_back({static_cast<uint16_t>(op::IfEq + rng() % 6), kCompare, k, a, b, 0, 0});
    code.push_back({op::Add, kIncrement, 20, 20, 1, 0, 0});  // true part
    code.push_back({op::Else, 0, k, 0, 0, 0, 0});
    code.push_back({op::Add, kIncrement, 21, 21, 1, 0, 0});  // else part
    code.push_back({op::EndOfBlock, 0, k, 0, 0, 0, 0});
  }
  return code;
}

void SeedConditions(int16_t* vars) {
  for (int i = 0; i < 8; ++i) vars[i] = static_cast<int16_t>(i % 3);
}

void BM_InterpreterConditions(benchmark::State& state) {
  Engine e;
  const auto code = ConditionCode();
  e.Load(code);
  SeedConditions(e.form.Script().WorkVarsRaw.data());
  for (auto _ : state) e.RunOnce();
  const double perRun = 3.0 * static_cast<double>(code.size() / 5) + 1;
  state.counters["instructions/s"] =
      benchmark::Counter(double(state.iterations()) * perRun, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_InterpreterConditions);

// The reference: the same blocks evaluated by a plain loop that knows where each block ends.
void BM_ReferenceConditions(benchmark::State& state) {
  const auto code = ConditionCode();
  int16_t vars[512] = {};
  SeedConditions(vars);
  for (auto _ : state) {
    for (size_t i = 0; i + 5 <= code.size(); i += 5) {
      const ScriptInstruction& c = code[i];
      const int16_t a = vars[c.P2 - 1], b = vars[c.P3 - 1];
      bool holds = false;
      switch (c.Code) {
        case op::IfEq: holds = a == b; break;
        case op::IfNe: holds = a != b; break;
        case op::IfLt: holds = a < b; break;
        case op::IfGt: holds = a > b; break;
        case op::IfLe: holds = a <= b; break;
        default: holds = a >= b; break;
      }
      int16_t& counter = vars[(holds ? 20 : 21) - 1];
      counter = static_cast<int16_t>(counter + 1);
    }
    benchmark::DoNotOptimize(vars);
  }
  const double perRun = 3.0 * static_cast<double>(code.size() / 5);
  state.counters["instructions/s"] =
      benchmark::Counter(double(state.iterations()) * perRun, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReferenceConditions);

}  // namespace
}  // namespace mokuren

BENCHMARK_MAIN();
