// Cost of the save/load screen: drawing a full page (its background decoded from SYSGRP.DAT, ten slots
// with thumbnail files, dates and three comment lines) when the screen opens or a tab is clicked,
// against decoding the page background alone; and the close area's refresh on every pass, against
// copying the whole page once.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "bench_engine.h"
#include "graphics/png_decoder.h"
#include "save/TForm7.h"
#include "toolkit/png_writer.h"

namespace {

using namespace mokuren;

const std::string& PageBackground() {
  static const std::string png = toolkit::GradientPng(800, 600, 0x2a1838, 0x5a2a48);
  return png;
}

// The engine with the page background (SYSGRP.DAT 111) and the parts sheet (121), the ten slots of page 1
// saved and commented, and the screen open on that page.
struct Engine : BenchEngine {
  Engine() : BenchEngine({{111, PageBackground()}, {121, toolkit::SolidPng(800, 600, 0x20, 0x20, 0x30)}}) {
    form->Pictures().FrameSurface.FillRGB(90, 120, 200);
    const std::u16string comment = u"雨の日の帰り道。傘の中で思い出したのは約束の話。";
    std::copy(comment.begin(), comment.end(), form->Save().Block->Live.Comment);
    for (int n = 1; n <= 10; ++n) form->Save().SaveToSlot(n);
    form->Save().SaveLoadForm->FormShow();
  }
};

// Reference: the page background's PNG decoded, nothing else.
void BM_PageBackgroundDecodeOnly(benchmark::State& state) {
  const std::string& png = PageBackground();
  for (auto _ : state) {
    PngImage image;
    std::string error;
    benchmark::DoNotOptimize(DecodePng({reinterpret_cast<const uint8_t*>(png.data()), png.size()}, image, error));
  }
}
BENCHMARK(BM_PageBackgroundDecodeOnly)->Unit(benchmark::kMillisecond);

void BM_SaveScreenFullPage(benchmark::State& state) {
  Engine engine;
  for (auto _ : state) engine.form->Save().SaveLoadForm->DrawSaveInfo(1);
}
BENCHMARK(BM_SaveScreenFullPage)->Unit(benchmark::kMillisecond);

// Reference: one plain copy of the 800x600 page.
void BM_PageCopy(benchmark::State& state) {
  TABitmap page(800, 600), copy(800, 600);
  for (auto _ : state) {
    std::memcpy(copy.Bits(), page.Bits(), page.ByteSize());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PageCopy)->Unit(benchmark::kMicrosecond);

void BM_SaveScreenTimerPass(benchmark::State& state) {
  Engine engine;
  engine.platform->InjectCursor(WindowId::Main, {600, 580});  // over the close area: both copies run
  for (auto _ : state) engine.form->Save().SaveLoadForm->Timer1Timer();
}
BENCHMARK(BM_SaveScreenTimerPass)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
