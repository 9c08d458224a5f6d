// Cost of the save/load screen: drawing a full page (its background decoded from SYSGRP.DAT, ten slots
// with thumbnail files, dates and three comment lines) when the screen opens or a tab is clicked,
// against decoding the page background alone; and the close area's refresh on every pass, against
// copying the whole page once.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "app/TForm1.h"
#include "graphics/png_decoder.h"
#include "platform/headless/headless_platform.h"
#include "save/TForm7.h"
#include "toolkit/archive_writer.h"
#include "toolkit/png_writer.h"

namespace {

using namespace mokuren;

const std::string& PageBackground() {
  static const std::string png = toolkit::GradientPng(800, 600, 0x2a1838, 0x5a2a48);
  return png;
}

// A headless engine whose SYSGRP.DAT holds the page background (entry 111) and the parts sheet (121),
// with the ten slots of page 1 saved and commented.
struct Engine {
  std::filesystem::path dir;
  std::unique_ptr<HeadlessPlatform> platform;
  std::unique_ptr<TForm1> form;

  Engine() {
    dir = std::filesystem::temp_directory_path() /
          ("mokuren-bench-save-screen-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    // Script 1 is a single end instruction: 16 unread bytes, code size 16, the instruction, four empty tables.
    std::string script(16 + 4 + 16 + 16, '\0');
    script[16] = 16;
    script[20] = static_cast<char>(255);
    toolkit::WriteArchive(dir / "SCRIPT.DAT", {{"script1", script}});
    toolkit::WriteArchive(dir / "GRAPHIC.DAT", {});
    std::vector<toolkit::ArchiveEntry> sysgrp(121);
    for (size_t i = 0; i < sysgrp.size(); ++i) sysgrp[i].name = "SYS" + std::to_string(i + 1) + ".PNG";
    sysgrp[110].bytes = PageBackground();
    sysgrp[120].bytes = toolkit::SolidPng(800, 600, 0x20, 0x20, 0x30);
    toolkit::WriteArchive(dir / "SYSGRP.DAT", sysgrp);
    LaunchOptions options;
    options.gameDir = dir.string();
    options.headless = true;
    platform = std::make_unique<HeadlessPlatform>();
    form = std::make_unique<TForm1>(*platform, options);
    platform->Attach(*form);
    if (!form->FormCreate()) std::abort();
    form->StartLoopClock();
    form->IdleEvent();
    form->FrameSurface.FillRGB(90, 120, 200);
    const std::u16string comment = u"雨の日の帰り道。傘の中で思い出したのは約束の話。";
    for (int n = 1; n <= 10; ++n) {
      std::copy(comment.begin(), comment.end(), form->Block->Live.Comment);
      form->SaveToSlot(n);
    }
    form->SaveLoadForm->FormShow();
  }
  ~Engine() {
    form.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
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
  for (auto _ : state) engine.form->SaveLoadForm->DrawSaveInfo(1);
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
  for (auto _ : state) engine.form->SaveLoadForm->Timer1Timer();
}
BENCHMARK(BM_SaveScreenTimerPass)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
