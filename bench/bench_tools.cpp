// What the writers' tools cost on the demo game: the lint, quick (files looked for) and whole (every
// picture, sound file and the movie decoded, on every core), against decoding those files alone on one
// core; and the test runner's comparisons, a frame against its golden and a recording's summary, against
// copying the same bytes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "graphics/png_decoder.h"
#include "lint/game_lint.h"
#include "movie/movie_player.h"
#include "sound/OggWuvorbisLib.h"
#include "test_runner/golden_picture.h"
#include "test_runner/sound_summary.h"
#include "toolkit/archive_reader.h"
#include "toolkit/archive_writer.h"

namespace fs = std::filesystem;
using namespace mokuren;

namespace {

const fs::path kDemo = MOKUREN_DEMO_DIR;

void BM_LintDemo(benchmark::State& state) {
  const lint::LintOptions options{kDemo, {}, state.range(0) == 0};
  for (auto _ : state) benchmark::DoNotOptimize(lint::LintGame(options));
}
BENCHMARK(BM_LintDemo)->Arg(0)->Arg(1)->ArgName("decode")->Unit(benchmark::kMillisecond)->UseRealTime();

// Reference: the decoding alone, one file after another.
void BM_DecodeDemoFilesAlone(benchmark::State& state) {
  std::vector<std::string> pictures, sounds;
  for (const char* name : {"GRAPHIC.DAT", "SYSGRP.DAT"}) {
    const toolkit::LoadedArchive a = toolkit::LoadArchive((kDemo / name).string());
    for (size_t n = 1; n < a.Count(); ++n)
      if (!a.Entry(n).empty()) pictures.emplace_back(a.Entry(n));
  }
  for (const char* folder : {"Sound", "VOICE"})
    for (const auto& e : fs::directory_iterator(kDemo / folder)) sounds.push_back(toolkit::ReadWholeFile(e.path()));
  const std::string movie = toolkit::ReadWholeFile(kDemo / "op.ogv");
  std::vector<char> pcm(1 << 16);
  for (auto _ : state) {
    for (const std::string& p : pictures) {
      PngImage image;
      std::string error;
      benchmark::DoNotOptimize(
          DecodePng(std::span(reinterpret_cast<const uint8_t*>(p.data()), p.size()), image, error));
    }
    for (const std::string& s : sounds) {
      auto stream = std::make_unique<TMemoryStream>(std::vector<uint8_t>(s.begin(), s.end()));
      OggVorbis_File vf{};
      if (VorbisFile().ov_open_callbacks(stream.get(), &vf) < 0) continue;
      stream.release();
      int section = 0;
      while (VorbisFile().ov_read(&vf, pcm.data(), static_cast<int>(pcm.size()), &section) > 0) {
      }
      VorbisFile().ov_clear(&vf);
    }
    MoviePlayer player;
    player.SetFile(std::vector<uint8_t>(movie.begin(), movie.end()));
    std::string problem;
    benchmark::DoNotOptimize(player.Prepare(problem));
    // The sound track, decoded as the game decodes it while it plays.
    if (auto sound = player.TakeSound())
      while (sound->Read(reinterpret_cast<int16_t*>(pcm.data()), 4096) == 4096) {
      }
  }
}
BENCHMARK(BM_DecodeDemoFilesAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

TABitmap Frame(uint8_t seed) {
  TABitmap frame(800, 600);
  for (size_t i = 0; i < frame.ByteSize(); ++i) frame.Bits()[i] = static_cast<uint8_t>(i * 7 + seed);
  return frame;
}

// Reference: one plain copy of the 800x600 frame.
void BM_FrameCopy(benchmark::State& state) {
  const TABitmap frame = Frame(0);
  TABitmap copy(800, 600);
  for (auto _ : state) {
    std::memcpy(copy.Bits(), frame.Bits(), frame.ByteSize());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FrameCopy)->Unit(benchmark::kMicrosecond);

// A frame that matches its golden, and one that differs everywhere.
void BM_FrameAgainstGolden(benchmark::State& state) {
  const TABitmap golden = Frame(0), actual = Frame(state.range(0) ? 0 : 3);
  for (auto _ : state) benchmark::DoNotOptimize(testrunner::PixelsOff(golden, actual, 8));
}
BENCHMARK(BM_FrameAgainstGolden)->Arg(1)->Arg(0)->ArgName("equal")->Unit(benchmark::kMicrosecond);

toolkit::WavSamples Recording(int seconds) {
  toolkit::WavSamples wav{2, 44100, std::vector<int16_t>(static_cast<size_t>(seconds) * 44100 * 2)};
  for (size_t i = 0; i < wav.samples.size(); ++i)
    wav.samples[i] = static_cast<int16_t>(8000 * std::sin(static_cast<double>(i) * 0.05));
  return wav;
}

// Reference: copying a 24-second recording (the length of the demo's story test).
void BM_RecordingCopy(benchmark::State& state) {
  const toolkit::WavSamples wav = Recording(24);
  std::vector<int16_t> copy(wav.samples.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), wav.samples.data(), wav.samples.size() * 2);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_RecordingCopy)->Unit(benchmark::kMicrosecond);

void BM_RecordingSummary(benchmark::State& state) {
  const toolkit::WavSamples wav = Recording(24);
  for (auto _ : state) benchmark::DoNotOptimize(testrunner::SummariseSound(wav));
}
BENCHMARK(BM_RecordingSummary)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
