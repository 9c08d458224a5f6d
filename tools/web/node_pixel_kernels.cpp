// The pixel kernels of the web build, run by node: first every routine on the WebAssembly SIMD kernels is
// checked byte for byte against the scalar reference (random rectangles, every opacity, odd widths for
// the heads and tails of rows); then each routine is timed over an 800x600 frame in cache on both sets,
// beside a memcpy of the same bytes, medians of 5 runs taken in turn so that a busy machine slows each
// set alike; the time is node's CPU time, as a loaded machine's wall clock says little. Exits with 1 on the
// first difference. Built by the web build (cmake/web.cmake):
//   node --no-experimental-fetch build-web/mokuren-web-kernels.js
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "../../bench/bench_pictures.h"
#include "graphics/ABitmapFilters32.h"

// Microseconds of CPU time node's process has used.
EM_JS(double, CpuMicroseconds, (), {
  const used = process.cpuUsage();
  return used.user + used.system;
});

namespace mokuren {
namespace {

// With clearRuns, some runs of pixels have T = 255 and the blend's handling of clear row ends is taken too.
TABitmap RandomSurface(std::mt19937& rng, int32_t width, int32_t height, bool clearRuns = false) {
  TABitmap s(width, height);
  for (size_t i = 0; i < s.ByteSize(); ++i) s.Bits()[i] = static_cast<uint8_t>(rng());
  for (size_t i = 0, run = 0; clearRuns && i < s.ByteSize(); i += 4) {
    if (run == 0 && rng() % 4 == 0) run = 1 + rng() % 12;
    if (run > 0) {
      s.Bits()[i + 3] = 255;
      --run;
    }
  }
  return s;
}

std::vector<TABitmap> RunAll(PixelKernels k, const TABitmap& src, const TABitmap& dst0, int32_t x, int32_t y, int32_t w,
                             int32_t h, int32_t opacity) {
  SetPixelKernels(k);
  std::vector<TABitmap> out(5, dst0);
  BlendConst(src, out[0], x, y, w, h, 0, 0, opacity);
  DrawAlpha(src, out[1], x, y, w, h, 0, 0, opacity);
  DrawAlphaSkip(src, out[2], x, y, w, h, 0, 0, opacity);
  InvertRect(out[3], x, y, w, h);
  StretchBilinear(src, out[4], x + 0.3, y - 0.6, std::max(1, w * 2 - 3), std::max(1, h * 2 - 5), 0.25, 0.5,
                  std::max(1, w - 1) + 0.7, std::max(1, h - 1) + 0.2);
  return out;
}

// Returns the number of comparisons, or -1 after printing the first difference.
int Check(PixelKernels fast) {
  std::mt19937 rng(20261209);
  std::uniform_int_distribution<int> size(1, 70), opacity(0, 300), place(-8, 8);
  int checks = 0;
  for (int round = 0; round < 600; ++round) {
    const TABitmap src = RandomSurface(rng, size(rng), size(rng), true);
    const TABitmap dst0 = RandomSurface(rng, size(rng), size(rng));
    const int32_t x = place(rng), y = place(rng), w = size(rng), h = size(rng);
    const int32_t a = round < 300 ? round : opacity(rng);
    const std::vector<TABitmap> reference = RunAll(PixelKernels::Scalar, src, dst0, x, y, w, h, a);
    const std::vector<TABitmap> got = RunAll(fast, src, dst0, x, y, w, h, a);
    for (size_t r = 0; r < reference.size(); ++r, ++checks)
      if (!(got[r] == reference[r])) {
        std::printf("DIFFERENT: routine %zu, %s, %dx%d at %d,%d, opacity %d\n", r, PixelKernelsName(fast), w, h, x, y,
                    a);
        return -1;
      }
  }
  return checks;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct Row {
  std::string name;
  std::function<void()> run;
  bool perKernels;
};

}  // namespace
}  // namespace mokuren

int main() {
  using namespace mokuren;
  if (!PixelKernelsAvailable(PixelKernels::Sse2)) {
    std::puts("no SIMD kernels are linked into this build: nothing to compare");
    return 1;
  }
  const int checks = Check(PixelKernels::Sse2);
  if (checks < 0) return 1;
  std::printf("%s kernels equal to scalar: %d routine runs compared\n", PixelKernelsName(PixelKernels::Sse2), checks);

  TABitmap src = Sprite(1), dst = Sprite(2), thumb(128, 96);
  std::mt19937 rng(3);
  TABitmap random = RandomSurface(rng, 800, 600);
  const std::vector<Row> rows = {
      {"memcpy of the frame", [&] { std::memcpy(dst.Bits(), src.Bits(), src.ByteSize()); }, false},
      {"BlendConst 127", [&] { BlendConst(src, dst, 0, 0, 800, 600, 0, 0, 127); }, true},
      {"DrawAlpha 255", [&] { DrawAlpha(src, dst, 0, 0, 800, 600, 0, 0, 255); }, true},
      {"DrawAlpha random alpha", [&] { DrawAlpha(random, dst, 0, 0, 800, 600, 0, 0, 255); }, true},
      {"DrawAlphaSkip 255", [&] { DrawAlphaSkip(src, dst, 0, 0, 800, 600, 0, 0, 255); }, true},
      {"DrawAlpha 200", [&] { DrawAlpha(src, dst, 0, 0, 800, 600, 0, 0, 200); }, true},
      {"InvertRect", [&] { InvertRect(dst, 0, 0, 800, 600); }, true},
      {"StretchBilinear thumbnail", [&] { StretchBilinear(src, thumb, 0, 0, 128, 96, 0, 0, 800, 600); }, true},
  };
  constexpr int kRuns = 5, kPasses = 20;
  std::printf("%-28s %12s %12s %8s\n", "CPU microseconds a frame", "scalar", "simd", "ratio");
  for (const Row& row : rows) {
    std::vector<double> times[2];
    for (int run = 0; run < kRuns; ++run)
      for (int set = 0; set < 2; ++set) {
        SetPixelKernels(set == 0 ? PixelKernels::Scalar : PixelKernels::Sse2);
        row.run();  // warm
        const double start = CpuMicroseconds();
        for (int pass = 0; pass < kPasses; ++pass) row.run();
        times[set].push_back((CpuMicroseconds() - start) / kPasses);
      }
    const double scalar = Median(times[0]), simd = Median(times[1]);
    if (row.perKernels) {
      std::printf("%-28s %12.0f %12.0f %7.2fx\n", row.name.c_str(), scalar, simd, scalar / simd);
    } else {
      std::printf("%-28s %12.0f %12s %8s\n", row.name.c_str(), scalar, "", "");
    }
  }
  return 0;
}
