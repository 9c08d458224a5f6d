// Cost of the debug window's status lines on a pass, and of painting the 800x600 frame into the window at
// its own size, scaled crisply by 2 (full screen on a 1600x1200 screen, or a window on a screen of twice
// the density, or one made a little larger: 1700x1275 keeps 2 with a border) and smoothly to 1440x1080
// (full screen on 1920x1080, with its side bars) and 1000x750 (a window made larger by dragging), 30 times
// a second; each against copying the bytes that reach the screen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QWidget>
#include <cstring>
#include <vector>

#include "backends/qt/qt_windows.h"
#include "dialogs/debug_dump.h"
#include "graphics/ABitmap.h"

namespace mokuren {
namespace {

class FrameView : public QWidget {
 public:
  explicit FrameView(const TABitmap& frame) : frame_(frame) { setAttribute(Qt::WA_OpaquePaintEvent); }
  void paintEvent(QPaintEvent*) override { PaintSurface(*this, frame_); }

 private:
  const TABitmap& frame_;
};

TABitmap Frame() {
  TABitmap frame(800, 600);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) std::memset(frame.ScanLine(y) + 4 * x, (x * 7 + y * 3) & 255, 3);
  return frame;
}

// Copying the window's pixels: 800x600, 1600x1200, 1440x1080.
void BM_MemcpyWindow(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(state.range(0)) * state.range(1) * 4;
  std::vector<uint8_t> a(bytes, 1), b(bytes);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), bytes);
    benchmark::DoNotOptimize(b.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_MemcpyWindow)->Args({800, 600})->Args({1600, 1200})->Args({1440, 1080});

void BM_PaintFrame(benchmark::State& state) {
  const TABitmap frame = Frame();
  FrameView view(frame);
  view.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  QImage target(view.size(), QImage::Format_RGB32);
  for (auto _ : state) {
    view.render(&target);
    benchmark::DoNotOptimize(target.constBits());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * target.sizeInBytes()));
}
BENCHMARK(BM_PaintFrame)
    ->Args({800, 600})
    ->Args({1600, 1200})
    ->Args({1440, 1080})
    ->Args({1000, 750})
    ->Args({1700, 1275})
    ->Args({1920, 1080});

// The two status lines the debug window shows after every pass while it is up.
void BM_DebugStatusLines(benchmark::State& state) {
  ScriptRegisters r{};
  r.Code = 16;
  r.P1 = 120;
  r.Mode[1] = 3;
  SaveRecord live{};
  live.BgmNo = 3;
  live.BgmLoop = 1;
  for (auto _ : state) {
    std::u16string a = InterpreterStatusLine(0, 3, 41, r), b = SoundStatusLine(live);
    benchmark::DoNotOptimize(a.data());
    benchmark::DoNotOptimize(b.data());
  }
}
BENCHMARK(BM_DebugStatusLines);

}  // namespace
}  // namespace mokuren

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
