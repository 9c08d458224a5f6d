// The mixer against its limit. One refill (MixHalf) renders 20480 frames from each of seven playing
// streams; decoding the same data with ov_read alone is the floor it cannot beat. Printed at the end:
// the ratio of the two, and the share of one core the mixer takes at real time (one refill per 0.464 s).
#include <benchmark/benchmark.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <numbers>

#include "sound/OggPlayerLib.h"
#include "toolkit/vorbis_encoder.h"

namespace {

using namespace mokuren;

constexpr int kStreams = 7;
constexpr int32_t kBytes = 163840;
constexpr int kFrames = kBytes / 8;  // frames per refill

// Ten seconds of a chord, long enough that the benchmark's refills rarely wrap around.
const std::string& TestFile() {
  static const std::string file = [] {
    constexpr int rate = 44100;
    std::vector<int16_t> pcm(static_cast<size_t>(rate) * 10 * 2);
    for (size_t i = 0; i < pcm.size() / 2; ++i) {
      double t = static_cast<double>(i) / rate;
      double v = 0;
      for (double hz : {261.63, 329.63, 392.0}) v += std::sin(2 * std::numbers::pi * hz * t);
      pcm[i * 2] = static_cast<int16_t>(5000 * v);
      pcm[i * 2 + 1] = static_cast<int16_t>(5000 * v * 0.8);
    }
    return EncodeVorbis(pcm.data(), pcm.size() / 2, 2, rate);
  }();
  return file;
}

std::unique_ptr<TMemoryStream> FileStream() {
  const std::string& f = TestFile();
  return std::make_unique<TMemoryStream>(std::vector<uint8_t>(f.begin(), f.end()));
}

// The limit: seven decoders reading the same amount with ov_read and nothing else.
void BM_DecodeOnly(benchmark::State& state) {
  std::vector<OggVorbis_File> files(kStreams);
  std::vector<std::unique_ptr<TMemoryStream>> sources;
  for (auto& vf : files) {
    sources.push_back(FileStream());
    VorbisFile().ov_open_callbacks(sources.back().release(), &vf);
  }
  std::vector<char> buffer(kFrames * 4);
  for (auto _ : state) {
    for (auto& vf : files) {
      int got = 0;
      while (got < kFrames * 4) {
        int section = 0;
        long n = VorbisFile().ov_read(&vf, buffer.data() + got, std::min(2048, kFrames * 4 - got), &section);
        if (n <= 0) {
          VorbisFile().ov_time_seek(&vf, 0);
          continue;
        }
        got += static_cast<int>(n);
      }
      benchmark::DoNotOptimize(buffer.data());
    }
  }
  for (auto& vf : files) VorbisFile().ov_clear(&vf);
}
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond);

void BM_MixHalf(benchmark::State& state) {
  std::vector<std::unique_ptr<TOggData>> streams;
  TOggPlayer player(kBytes, 10);
  for (int i = 0; i < kStreams; ++i) {
    streams.push_back(std::make_unique<TOggData>(kBytes));
    streams.back()->LoadFromStream(FileStream());
    streams.back()->SetVolume(0.5);
    player.AttachStream(i, streams.back().get());
    player.PlaySlot(i, true);
  }
  for (auto _ : state) {
    player.MixHalf();
    benchmark::DoNotOptimize(player.CurrentHalf());
  }
}
BENCHMARK(BM_MixHalf)->Unit(benchmark::kMillisecond);

// Keeps each run's time per iteration, to print the comparison after the table.
class Recorder : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) seconds[r.benchmark_name()] = r.GetAdjustedCPUTime() / 1e3;
  }
  // CPU seconds per iteration (the unit is ms); the cores are shared, so wall time would mislead.
  std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Recorder recorder;
  benchmark::RunSpecifiedBenchmarks(&recorder);
  auto mix = recorder.seconds.find("BM_MixHalf");
  auto dec = recorder.seconds.find("BM_DecodeOnly");
  if (mix != recorder.seconds.end() && dec != recorder.seconds.end() && dec->second > 0) {
    double realTime = static_cast<double>(kFrames) / 44100.0;
    std::cout << "MixHalf / decoding alone: " << mix->second / dec->second << "x\n"
              << "mixer share of one core at real time (7 streams): " << 100.0 * mix->second / realTime << " %\n";
  }
  benchmark::Shutdown();
  return 0;
}
