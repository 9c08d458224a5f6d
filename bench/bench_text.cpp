// Cost of the message window: laying out and rendering a full three-line message (once per message)
// and one frame of typing (up to 30 times a second), against copying the bytes of the two text layers;
// adding to the message log and one step back through it.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench_engine.h"
#include "text/message_layout.h"

namespace {

using namespace mokuren;

const std::u16string kMessage =
    u"ミナ「①くん、おはよう！　今日から同じクラスだね。ずっと待ってたんだから、遅刻しないでよ？"
    u"帰りは一緒に商店街へ寄って、新しい文房具を見に行こうね。約束だよ」";

// The engine past its start-up, with a message window frame of its full size.
struct Engine : BenchEngine {
  Engine() {
    form->SurfaceTable[6].SetSize32(800, 184);
    form->MessageSpeed = 2;
  }
};

Engine& TheEngine() {
  static Engine engine;
  return engine;
}

// Reference: copying the bytes of the text and shadow layers once.
void BM_CopyTextLayers(benchmark::State& state) {
  Engine& e = TheEngine();
  e.form->Kumo_MakeMessage(kMessage);
  const TABitmap& text = e.form->SurfaceTable[58];
  const TABitmap& shadow = e.form->SurfaceTable[59];
  std::vector<uint8_t> dst(text.ByteSize() + shadow.ByteSize());
  for (auto _ : state) {
    std::memcpy(dst.data(), text.Bits(), text.ByteSize());
    std::memcpy(dst.data() + text.ByteSize(), shadow.Bits(), shadow.ByteSize());
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(dst.size()));
}
BENCHMARK(BM_CopyTextLayers);

void BM_LayoutMessage(benchmark::State& state) {
  Engine& e = TheEngine();
  for (auto _ : state) {
    auto lines = LayoutMessage(kMessage, e.form->HeroName, e.form->LineStartForbidden, e.form->LineEndForbidden);
    benchmark::DoNotOptimize(lines);
  }
}
BENCHMARK(BM_LayoutMessage);

// Layout and rendering of a full three-line message with its speaker (glyphs cached after the first).
void BM_MakeMessage(benchmark::State& state) {
  Engine& e = TheEngine();
  for (auto _ : state) {
    e.form->Kumo_MakeMessage(kMessage);
    benchmark::DoNotOptimize(e.form->SurfaceTable[58].Bits());
  }
}
BENCHMARK(BM_MakeMessage)->Unit(benchmark::kMicrosecond);

// One frame of typing in the middle of line 2: the window frame and the typed bands on FrameSurface and
// on FloatSurface.
void BM_TypingFrame(benchmark::State& state) {
  Engine& e = TheEngine();
  e.form->Kumo_MakeMessage(kMessage);
  for (auto _ : state) {
    e.form->TaskCode = task::MessageTyping;
    e.form->RevealCount = 35;
    e.form->Kumo_DrawMessage();
    benchmark::DoNotOptimize(e.form->FrameSurface.Bits());
  }
}
BENCHMARK(BM_TypingFrame)->Unit(benchmark::kMicrosecond);

// Reference for adding to the log: copying the message text, the least an entry costs.
void BM_CopyMessageText(benchmark::State& state) {
  std::u16string copy;
  for (auto _ : state) {
    copy = kMessage;
    benchmark::DoNotOptimize(copy.data());
  }
}
BENCHMARK(BM_CopyMessageText);

// A passed message added to a full log (the oldest entry drops out), once per message.
void BM_AddMsgLog(benchmark::State& state) {
  Engine& e = TheEngine();
  for (int i = 0; i < MessageLog::kSize; ++i) e.form->Kumo_AddMsgLog(kMessage, -1);
  for (auto _ : state) {
    e.form->Kumo_AddMsgLog(kMessage, -1);
    benchmark::DoNotOptimize(&e.form->MsgLog[1]);
  }
}
BENCHMARK(BM_AddMsgLog);

// One step back through a full log (PageUp): the entry laid out and rendered grey, its voice started.
void BM_MsgLogStep(benchmark::State& state) {
  Engine& e = TheEngine();
  for (int i = 0; i < MessageLog::kSize; ++i) e.form->Kumo_AddMsgLog(kMessage, -1);
  for (auto _ : state) {
    e.form->TaskCode = task::MessageWait;
    e.form->LogView = 1;
    e.form->LogIndex = 1;
    e.form->KeyLogBack = 1;
    e.form->BrowseMsgLog();
    benchmark::DoNotOptimize(e.form->SurfaceTable[58].Bits());
  }
  e.form->LogView = 0;
}
BENCHMARK(BM_MsgLogStep)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
