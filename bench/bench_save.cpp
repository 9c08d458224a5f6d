// What a save costs: SAVE.DAT replaced atomically (temporary file, flush to disk, rename) against a
// plain overwrite of the same 407,472 bytes, and the 128x96 thumbnail against copying the frame once.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "app/engine_state.h"
#include "base/atomic_file.h"
#include "graphics/ABitmapFilters32.h"
#include "save/bmp_file.h"

namespace {

std::filesystem::path BenchDir() {
  static const std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() / ("mokuren-bench-save-" + std::to_string(getpid()));
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

const std::vector<uint8_t>& BlockBytes() {
  static const std::vector<uint8_t> bytes(mokuren::kSaveFileSize, 0x5a);
  return bytes;
}

// Reference: overwrite in place, no flush: what a crash could leave half-written.
void BM_SaveFilePlainOverwrite(benchmark::State& state) {
  const auto path = BenchDir() / "plain.dat";
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(BlockBytes().data(), 1, BlockBytes().size(), f);
    std::fclose(f);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(BlockBytes().size()));
}
BENCHMARK(BM_SaveFilePlainOverwrite)->Unit(benchmark::kMillisecond);

void BM_SaveFileAtomicReplace(benchmark::State& state) {
  const auto path = BenchDir() / "SAVE.DAT";
  for (auto _ : state) benchmark::DoNotOptimize(mokuren::WriteFileAtomically(path, BlockBytes()));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(BlockBytes().size()));
}
BENCHMARK(BM_SaveFileAtomicReplace)->Unit(benchmark::kMillisecond);

// Reference: one plain copy of the 800x600 frame.
void BM_FrameCopy(benchmark::State& state) {
  mokuren::TABitmap frame(800, 600), copy(800, 600);
  for (auto _ : state) {
    std::memcpy(copy.Bits(), frame.Bits(), frame.ByteSize());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FrameCopy)->Unit(benchmark::kMicrosecond);

void BM_ThumbnailScaleAndEncode(benchmark::State& state) {
  mokuren::TABitmap frame(800, 600);
  frame.FillRGB(90, 120, 200);
  for (auto _ : state) {
    mokuren::TABitmap thumb(128, 96);
    thumb.FillRGB(0, 0, 0);
    mokuren::StretchBilinear(frame, thumb, 0, 0, 128, 96, 0, 0, 800, 600);
    benchmark::DoNotOptimize(mokuren::EncodeBmp32(thumb));
  }
}
BENCHMARK(BM_ThumbnailScaleAndEncode)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  std::filesystem::remove_all(BenchDir(), ec);
  return 0;
}
