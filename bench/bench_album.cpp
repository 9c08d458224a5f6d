// Cost of the album screens on the demo's own pictures: setting up a gallery page (its background and
// sheet decoded, the locked looks laid on, the screen composed for its fade) against decoding the two
// pictures alone; and the highlight drawn on every frame while a screen waits (the gallery's keyed hover
// frame, the music room's lit row) against copying the whole frame once.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "bench_engine.h"
#include "graphics/png_decoder.h"
#include "menus/album_screens.h"
#include "toolkit/archive_reader.h"

namespace {

using namespace mokuren;

// The demo's album pictures, by SYSGRP.DAT entry.
const std::map<int, std::string>& DemoAlbumPictures() {
  static const std::map<int, std::string> pictures = [] {
    const toolkit::LoadedArchive demo = toolkit::LoadArchive(std::string(MOKUREN_DEMO_DIR) + "/SYSGRP.DAT");
    std::map<int, std::string> p;
    for (int n : {67, 68, 71, 97}) p[n] = std::string(demo.Entry(static_cast<size_t>(n)));
    return p;
  }();
  return pictures;
}

struct Engine : BenchEngine {
  Engine() : BenchEngine(DemoAlbumPictures()) {}
};

// Reference: the page's background and the galleries' sheet decoded, nothing else.
void BM_PageBackgroundAndSheetDecodeOnly(benchmark::State& state) {
  for (auto _ : state)
    for (int n : {71, 97}) {
      const std::string& png = DemoAlbumPictures().at(n);
      PngImage image;
      std::string error;
      benchmark::DoNotOptimize(DecodePng({reinterpret_cast<const uint8_t*>(png.data()), png.size()}, image, error));
    }
}
BENCHMARK(BM_PageBackgroundAndSheetDecodeOnly)->Unit(benchmark::kMillisecond);

// Every slot locked, so all ten locked looks are laid on.
void BM_PicturePageSetUp(benchmark::State& state) {
  Engine engine;
  for (auto _ : state) engine.form->Albums().Kumo_DispCgMenu();
}
BENCHMARK(BM_PicturePageSetUp)->Unit(benchmark::kMillisecond);

// Reference: one plain copy of the 800x600 frame.
void BM_FrameCopy(benchmark::State& state) {
  TABitmap frame(800, 600), copy(800, 600);
  for (auto _ : state) {
    std::memcpy(copy.Bits(), frame.Bits(), frame.ByteSize());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FrameCopy)->Unit(benchmark::kMicrosecond);

void BM_PicturePageHoverFrame(benchmark::State& state) {
  Engine engine;
  engine.form->Albums().Kumo_DispCgMenu();
  engine.form->TaskCode = task::CgMenu;
  engine.form->Albums().Hover = 5;
  for (auto _ : state) engine.form->Albums().Kumo_DrawCgMenu();
}
BENCHMARK(BM_PicturePageHoverFrame)->Unit(benchmark::kMicrosecond);

void BM_MusicRoomLitRow(benchmark::State& state) {
  Engine engine;
  engine.form->Albums().Kumo_DispBgmMenu();
  engine.form->TaskCode = task::BgmMenu;
  engine.form->Albums().Hover = 1;
  for (auto _ : state) engine.form->Albums().Kumo_DrawBgmMenu();
}
BENCHMARK(BM_MusicRoomLitRow)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
