// The composed frame and the message typing, timed by a plain clock so that the same program runs natively
// and in a browser page (WebAssembly has no Google Benchmark here). bench/web-vs-native runs both builds in
// one go and prints the ratios. Each row is the median of 15 samples; a sample times enough passes to last
// about 20 ms, since a browser's clock is coarse. The rows:
//   memcpy-frame      copying the bytes of one 800x600 frame (the memory floor, the reference)
//   composed-frame    a frame while a message waits: the shown scene, the floating window's background,
//                     the window frame, text shadow, text and the ten buttons (as bench_graphics), with the
//                     build's default pixel kernels and with the scalar ones
//   make-message      a full three-line message with its speaker laid out and rendered (glyphs cached)
//   typing-frame      one frame of typing in the middle of line 2 (as bench_text)
// Output: one line per row, "ROW KERNELS MEDIAN_US MIN_US", then "done".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "../bench_engine.h"
#include "../bench_pictures.h"
#include "graphics/ABitmapFilters32.h"

namespace {

using namespace mokuren;
using Clock = std::chrono::steady_clock;

constexpr int32_t kW = 800, kH = 600;
constexpr int kSamples = 15;

const std::u16string kMessage =
    u"ミナ「①くん、おはよう！　今日から同じクラスだね。ずっと待ってたんだから、遅刻しないでよ？"
    u"帰りは一緒に商店街へ寄って、新しい文房具を見に行こうね。約束だよ」";

volatile uint8_t sink;

// Median and least of kSamples samples, in microseconds per pass.
void Measure(const char* row, const char* kernels, const std::function<void()>& pass) {
  pass();
  int passes = 1;
  for (;;) {  // passes per sample: about 20 ms
    const auto t0 = Clock::now();
    for (int i = 0; i < passes; ++i) pass();
    if (Clock::now() - t0 >= std::chrono::milliseconds(20) || passes >= (1 << 20)) break;
    passes *= 2;
  }
  std::vector<double> us;
  for (int s = 0; s < kSamples; ++s) {
    const auto t0 = Clock::now();
    for (int i = 0; i < passes; ++i) pass();
    us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / passes);
  }
  std::sort(us.begin(), us.end());
  std::printf("%s %s %.2f %.2f\n", row, kernels, us[kSamples / 2], us.front());
  std::fflush(stdout);
}

}  // namespace

int main() {
  BenchEngine engine;
  TForm1& f = *engine.form;
  f.Pictures().SurfaceTable[7] = Sprite(3);
  f.Pictures().SurfaceTable[6] = Sprite(4, 800, 184);
  for (int slot = 8; slot < 18; ++slot) f.Pictures().SurfaceTable[static_cast<size_t>(slot)] = Sprite(slot, 64, 20);
  f.Save().Block->MessageSpeed = 2;
  f.Text().Kumo_MakeMessage(kMessage);

  const TABitmap from = Sprite(1);
  TABitmap to(kW, kH);
  Measure("memcpy-frame", "-", [&] {
    std::memcpy(to.Bits(), from.Bits(), from.ByteSize());
    sink = to.Bits()[12345];
  });

  const PixelKernels best = CurrentPixelKernels();
  for (PixelKernels k : {best, PixelKernels::Scalar}) {
    SetPixelKernels(k);
    Measure("composed-frame", PixelKernelsName(k), [&] {
      CopyOpaque(f.Pictures().DisplaySurface, f.Pictures().FrameSurface, 0, 0);
      CopyOpaque(f.Pictures().SurfaceTable[7], f.Pictures().FloatSurface, 0, 0);
      DrawAlpha(f.Pictures().SurfaceTable[6], f.Pictures().FrameSurface, 0, 416, 800, 184, 0, 0, 255);
      DrawAlpha(f.Pictures().SurfaceTable[59], f.Pictures().FrameSurface, 0, 416, 800, 184, 0, 0, 255);
      DrawAlpha(f.Pictures().SurfaceTable[58], f.Pictures().FrameSurface, 0, 416, 800, 184, 0, 0, 255);
      for (int n = 1; n <= 10; ++n)
        DrawAlpha(f.Pictures().SurfaceTable[static_cast<size_t>(8 + n - 1)], f.Pictures().FrameSurface,
                  160 + 64 * (n - 1), 580, 64, 20, 0, 0, 255);
      sink = f.Pictures().FrameSurface.Bits()[12345];
    });
    if (k == PixelKernels::Scalar) break;
  }
  SetPixelKernels(best);

  Measure("make-message", PixelKernelsName(best), [&] {
    f.Text().Kumo_MakeMessage(kMessage);
    sink = f.Pictures().SurfaceTable[58].Bits()[12345];
  });
  f.Text().Kumo_MakeMessage(kMessage);
  Measure("typing-frame", PixelKernelsName(best), [&] {
    f.TaskCode = task::MessageTyping;
    f.Text().RevealCount = 35;
    f.Text().Kumo_DrawMessage();
    sink = f.Pictures().FrameSurface.Bits()[12345];
  });
  std::printf("done\n");
  std::fflush(stdout);
  return 0;
}
