// Speed of the pixel routines over a whole 800x600 frame, each kernel set, measured in one run against
// memcpy of the same bytes (the memory floor) and pixman's nearest equivalent; then a whole cross-fade
// step and a whole composed frame. Compare the rows of one run, not numbers across machines.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "app/TForm1.h"
#include "backends/headless/headless_platform.h"
#include "bench_pictures.h"
#include "graphics/ABitmapFilters32.h"

#if defined(MOKUREN_HAVE_PIXMAN)
#include <pixman.h>
#endif

namespace mokuren {
namespace {

constexpr int32_t kW = 800, kH = 600;

// Every pixel's transparency drawn at random: no runs for a kernel to skip or a branch to predict.
TABitmap RandomAlpha(uint32_t seed) {
  TABitmap s(kW, kH);
  std::mt19937 rng(seed);
  for (size_t i = 0; i < s.ByteSize(); i += 4) {
    const uint32_t v = rng();
    std::memcpy(s.Bits() + i, &v, 4);
  }
  return s;
}

struct Surfaces {
  TABitmap src = Sprite(1);
  TABitmap dst = Sprite(2);
  TABitmap random = RandomAlpha(3);
};
Surfaces& S() {
  static Surfaces s;
  return s;
}

bool UseKernels(benchmark::State& state) {
  const auto k = static_cast<PixelKernels>(state.range(0));
  if (!PixelKernelsAvailable(k)) {
    state.SkipWithError("kernels not available on this machine");
    return false;
  }
  SetPixelKernels(k);
  state.SetLabel(PixelKernelsName(k));
  return true;
}

void Frame(benchmark::State& state) { state.SetBytesProcessed(state.iterations() * int64_t{kW} * kH * 4); }

// ---- References -------------------------------------------------------------------------------------

void BM_Memcpy(benchmark::State& state) {
  for (auto _ : state) {
    std::memcpy(S().dst.Bits(), S().src.Bits(), S().src.ByteSize());
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_Memcpy);

#if defined(MOKUREN_HAVE_PIXMAN)
struct PixmanImages {
  pixman_image_t* src =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, reinterpret_cast<uint32_t*>(S().src.Bits()), kW * 4);
  pixman_image_t* dst =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, reinterpret_cast<uint32_t*>(S().dst.Bits()), kW * 4);
  pixman_image_t* thumb = pixman_image_create_bits(PIXMAN_a8r8g8b8, 128, 96, nullptr, 128 * 4);
  pixman_image_t* half = nullptr;
  PixmanImages() {
    pixman_color_t c{0, 0, 0, 0x8000};
    half = pixman_image_create_solid_fill(&c);
  }
};
PixmanImages& P() {
  static PixmanImages p;
  return p;
}

// Constant opacity: OVER with a solid 50 % mask.
void BM_Pixman_OverSolidMask(benchmark::State& state) {
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, P().src, P().half, P().dst, 0, 0, 0, 0, 0, 0, kW, kH);
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_Pixman_OverSolidMask);

// Per-pixel alpha: OVER of an ARGB source.
void BM_Pixman_Over(benchmark::State& state) {
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, P().src, nullptr, P().dst, 0, 0, 0, 0, 0, 0, kW, kH);
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_Pixman_Over);

void BM_Pixman_Src(benchmark::State& state) {
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, P().src, nullptr, P().dst, 0, 0, 0, 0, 0, 0, kW, kH);
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_Pixman_Src);

// Bilinear 800x600 -> 128x96, the thumbnail.
void BM_Pixman_BilinearThumbnail(benchmark::State& state) {
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(800.0 / 128), pixman_double_to_fixed(600.0 / 96));
  pixman_image_set_transform(P().src, &t);
  pixman_image_set_filter(P().src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, P().src, nullptr, P().thumb, 0, 0, 0, 0, 0, 0, 128, 96);
    benchmark::ClobberMemory();
  }
  pixman_image_set_transform(P().src, nullptr);
  pixman_image_set_filter(P().src, PIXMAN_FILTER_NEAREST, nullptr, 0);
  Frame(state);
}
BENCHMARK(BM_Pixman_BilinearThumbnail);
#endif

// ---- Our routines, per kernel set (0 scalar, 1 SSE2, 2 AVX2) ----------------------------------------

void BM_CopyOpaque(benchmark::State& state) {
  for (auto _ : state) {
    CopyOpaque(S().src, S().dst, 0, 0);
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_CopyOpaque);

void BM_BlendConst(benchmark::State& state) {
  if (!UseKernels(state)) return;
  for (auto _ : state) {
    BlendConst(S().src, S().dst, 0, 0, kW, kH, 0, 0, 127);
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_BlendConst)->DenseRange(0, 3);

void BM_DrawAlpha(benchmark::State& state) {
  if (!UseKernels(state)) return;
  for (auto _ : state) {
    DrawAlpha(S().src, S().dst, 0, 0, kW, kH, 0, 0, 255);
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_DrawAlpha)->DenseRange(0, 3);

void BM_DrawAlphaRandom(benchmark::State& state) {
  if (!UseKernels(state)) return;
  for (auto _ : state) {
    DrawAlpha(S().random, S().dst, 0, 0, kW, kH, 0, 0, 255);
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_DrawAlphaRandom)->DenseRange(0, 3);

void BM_DrawAlphaSkip(benchmark::State& state) {
  if (!UseKernels(state)) return;
  for (auto _ : state) {
    DrawAlphaSkip(S().src, S().dst, 0, 0, kW, kH, 0, 0, 255);
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_DrawAlphaSkip)->DenseRange(0, 3);

void BM_DrawAlphaSkipRandom(benchmark::State& state) {
  if (!UseKernels(state)) return;
  for (auto _ : state) {
    DrawAlphaSkip(S().random, S().dst, 0, 0, kW, kH, 0, 0, 255);
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_DrawAlphaSkipRandom)->DenseRange(0, 3);

void BM_InvertRect(benchmark::State& state) {
  if (!UseKernels(state)) return;
  for (auto _ : state) {
    InvertRect(S().dst, 0, 0, kW, kH);
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_InvertRect)->DenseRange(0, 3);

void BM_FillRGB(benchmark::State& state) {
  for (auto _ : state) {
    S().dst.FillRGB(1, 2, 3);
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_FillRGB);

void BM_StretchBilinearThumbnail(benchmark::State& state) {
  if (!UseKernels(state)) return;
  TABitmap thumb(128, 96);
  for (auto _ : state) {
    StretchBilinear(S().src, thumb, 0, 0, 128, 96, 0, 0, 800, 600);
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_StretchBilinearThumbnail)->DenseRange(0, 3);

// ---- Whole steps on the engine ------------------------------------------------------------------------

struct Engine {
  HeadlessPlatform platform;
  TForm1 form{platform, LaunchOptions{}};
  Engine() {
    form.Pictures().CreateSurfaces();
    form.Pictures().SurfaceTable[0] = Sprite(3);
    for (int n = 1; n <= 5; ++n) {
      form.Pictures().SurfaceTable[static_cast<size_t>(n)] = Sprite(10 + n);
      form.Pictures().LayerImage[n - 1] = n <= 3 ? n : 0;  // three characters on screen
      form.Pictures().LayerPos[n - 1] = {(n - 2) * 200, 0};
      form.Pictures().LayerOpacity[n - 1] = 255;
    }
    form.Pictures().SurfaceTable[6] = TABitmap(800, 184);
    for (int slot : {58, 59}) form.Pictures().SurfaceTable[static_cast<size_t>(slot)] = TABitmap(800, 184);
    for (int slot = 8; slot < 58; ++slot) form.Pictures().SurfaceTable[static_cast<size_t>(slot)] = TABitmap(64, 20);
  }
};
Engine& E() {
  static Engine e;
  return e;
}

// One pass of a scenario cross-fade (the whole-frame blend of the effect task).
void BM_TransitionStep(benchmark::State& state) {
  if (!UseKernels(state)) return;
  E().form.Pictures().StartTransition(1000, task::Effect01);
  E().platform.Stall(300);
  for (auto _ : state) {
    E().form.Pictures().Kumo_DispEffect_01();
    E().form.TaskCode = task::Effect01;
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_TransitionStep)->DenseRange(0, 3);

// Composing the scene: background and three character layers into NextSurface.
void BM_CreateNextImage(benchmark::State& state) {
  if (!UseKernels(state)) return;
  for (auto _ : state) {
    E().form.Pictures().Kumo_CreateNextImage();
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_CreateNextImage)->DenseRange(0, 3);

// A frame while a message waits: the shown scene, the floating window's background, the window frame,
// text shadow and text (800x184 each) and the ten buttons.
void BM_ComposedFrame(benchmark::State& state) {
  if (!UseKernels(state)) return;
  TForm1& f = E().form;
  for (auto _ : state) {
    CopyOpaque(f.Pictures().DisplaySurface, f.Pictures().FrameSurface, 0, 0);
    CopyOpaque(f.Pictures().SurfaceTable[7], f.Pictures().FloatSurface, 0, 0);
    DrawAlpha(f.Pictures().SurfaceTable[6], f.Pictures().FrameSurface, 0, 416, 800, 184, 0, 0, 255);
    DrawAlpha(f.Pictures().SurfaceTable[59], f.Pictures().FrameSurface, 0, 416, 800, 184, 0, 0, 255);
    DrawAlpha(f.Pictures().SurfaceTable[58], f.Pictures().FrameSurface, 0, 416, 800, 184, 0, 0, 255);
    for (int k = 1; k <= 10; ++k)
      DrawAlpha(f.Pictures().SurfaceTable[static_cast<size_t>(8 + k - 1)], f.Pictures().FrameSurface,
                160 + 64 * (k - 1), 580, 64, 20, 0, 0, 255);
    benchmark::ClobberMemory();
  }
  Frame(state);
}
BENCHMARK(BM_ComposedFrame)->DenseRange(0, 3);

}  // namespace
}  // namespace mokuren

BENCHMARK_MAIN();
