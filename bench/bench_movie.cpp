// Speed of the opening movie per 800x600 frame, measured in one run against memcpy of the frame (the
// memory floor) and libtheora's decoding alone: the colour conversion with each kernel set, a frame
// decoded and drawn by the movie decoder, and the whole frame step of a playback (decode, convert and
// compose onto the window's frame), with the share of one core a 30-frame-a-second movie takes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "graphics/ABitmapFilters32.h"
#include "movie/movie_player.h"
#include "movie/ycbcr_convert.h"
#include "toolkit/theora_encoder.h"

namespace mokuren {
namespace {

constexpr int32_t kW = 800, kH = 600;
constexpr int kFrames = 90;  // 3 s at 30 frames a second

// A movie with the kind of content an opening has: a soft gradient, drifting discs and a band of fine
// texture, all moving every frame; and a stereo sound track.
const std::string& Movie() {
  static const std::string movie = [] {
    MovieEncodeOptions options;
    options.quality = 40;
    MovieEncoder encoder(kW, kH, options);
    TABitmap f(kW, kH);
    std::mt19937 rng(5);
    std::vector<uint8_t> grain(static_cast<size_t>(kW) * 120);
    for (uint8_t& g : grain) g = static_cast<uint8_t>(rng() % 48);
    for (int n = 0; n < kFrames; ++n) {
      for (int32_t y = 0; y < kH; ++y) {
        uint8_t* p = f.ScanLine(y);
        for (int32_t x = 0; x < kW; ++x, p += 4) {
          p[0] = static_cast<uint8_t>(90 + y / 6);
          p[1] = static_cast<uint8_t>(40 + x / 10);
          p[2] = static_cast<uint8_t>(60 + (x + y + 4 * n) % 80);
          if (y >= 400 && y < 520) p[1] += grain[static_cast<size_t>(y - 400) * kW + (x + 7 * n) % kW];
        }
      }
      for (int k = 0; k < 30; ++k) {
        const double cx = std::fmod(37.0 * k + 5.0 * n, kW), cy = std::fmod(53.0 * k + 3.0 * n, kH);
        for (int32_t y = std::max(0, static_cast<int32_t>(cy) - 12); y < std::min(kH, static_cast<int32_t>(cy) + 12);
             ++y)
          for (int32_t x = std::max(0, static_cast<int32_t>(cx) - 12); x < std::min(kW, static_cast<int32_t>(cx) + 12);
               ++x)
            if (std::hypot(x - cx, y - cy) < 12) std::memset(f.ScanLine(y) + 4 * x, 0xF0, 3);
      }
      encoder.AddFrame(f);
    }
    std::vector<int16_t> sound(static_cast<size_t>(44100) * kFrames / 30 * 2);
    for (size_t i = 0; i < sound.size(); ++i) sound[i] = static_cast<int16_t>(8000 * std::sin(i * 0.03));
    encoder.AddSound(sound.data(), sound.size() / 2);
    return encoder.Finish();
  }();
  return movie;
}

MovieFileSource SourceOf(const std::string& file) {
  return {[&file](void* buffer, int64_t position, size_t count) -> size_t {
            if (position >= static_cast<int64_t>(file.size())) return 0;
            const size_t n = std::min(count, file.size() - static_cast<size_t>(position));
            std::memcpy(buffer, file.data() + position, n);
            return n;
          },
          [&file] { return static_cast<int64_t>(file.size()); }};
}

void PerFrame(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * int64_t{kW} * kH * 4);
}

// ---- References -------------------------------------------------------------------------------------

void BM_Memcpy(benchmark::State& state) {
  std::vector<uint8_t> a(static_cast<size_t>(kW) * kH * 4, 1), b(a.size());
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size());
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Memcpy);

// libtheora alone: every packet of the picture stream into its Y'CbCr planes, no conversion.
void BM_TheoraDecodeOnly(benchmark::State& state) {
  const std::string& file = Movie();
  OggPacketReader reader(SourceOf(file));
  int serial = 0;
  for (const auto& b : reader.Beginnings())
    if (!b.packet.empty() && b.packet[0] == 0x80) serial = b.serial;
  th_info info;
  th_comment comment;
  th_setup_info* setup = nullptr;
  th_info_init(&info);
  th_comment_init(&comment);
  reader.Follow(serial);
  ogg_packet packet;
  int headers = 0;
  while (reader.Next(packet) && th_decode_headerin(&info, &comment, &setup, &packet) > 0) ++headers;
  th_dec_ctx* decoder = nullptr;
  auto restart = [&] {
    if (decoder) th_decode_free(decoder);
    decoder = th_decode_alloc(&info, setup);
    reader.Follow(serial);
    for (int i = 0; i < headers; ++i) reader.Next(packet);
  };
  restart();
  for (auto _ : state) {
    if (!reader.Next(packet)) {
      state.PauseTiming();
      restart();
      reader.Next(packet);
      state.ResumeTiming();
    }
    th_decode_packetin(decoder, &packet, nullptr);
    th_ycbcr_buffer planes;
    th_decode_ycbcr_out(decoder, planes);
    benchmark::DoNotOptimize(planes[0].data);
  }
  th_decode_free(decoder);
  th_setup_free(setup);
  th_comment_clear(&comment);
  th_info_clear(&info);
  PerFrame(state);
}
BENCHMARK(BM_TheoraDecodeOnly);

// ---- Ours -------------------------------------------------------------------------------------------

// Conversion alone of a 4:2:0 frame, with each kernel set.
void BM_ConvertFrame(benchmark::State& state) {
  const auto set = static_cast<PixelKernels>(state.range(0));
  if (!PixelKernelsAvailable(set)) {
    state.SkipWithError("kernels not available on this machine");
    return;
  }
  SetPixelKernels(set);
  state.SetLabel(PixelKernelsName(set));
  std::mt19937 rng(3);
  std::vector<uint8_t> y(static_cast<size_t>(kW) * kH), cb(y.size() / 4), cr(y.size() / 4);
  for (auto* plane : {&y, &cb, &cr})
    for (uint8_t& v : *plane) v = static_cast<uint8_t>(rng());
  const YCbCrPicture picture{{y.data(), cb.data(), cr.data()}, {kW, kW / 2, kW / 2}, 0, 0, kW, kH, 1, 1};
  TABitmap out(kW, kH);
  for (auto _ : state) {
    for (int32_t row = 0; row < kH; ++row) ConvertYCbCrRow(picture, row, out.ScanLine(row));
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
// The SSE4.1 set converts with the SSE2 row.
BENCHMARK(BM_ConvertFrame)
    ->Arg(static_cast<int>(PixelKernels::Scalar))
    ->Arg(static_cast<int>(PixelKernels::Sse2))
    ->Arg(static_cast<int>(PixelKernels::Avx2));

// The decoder layer: the next frame decoded and drawn into the 32-bit bitmap.
void BM_DecodeFrame(benchmark::State& state) {
  const std::string& file = Movie();
  TABitmap picture(8, 8);
  TTheoraVideoDecoder video;
  video.SetVReverse(true);
  video.Load(SourceOf(file),
             {[&](int32_t y) { return picture.ScanLine(y); }, [&](int32_t w, int32_t h) { picture.SetSize32(w, h); }});
  int32_t n = 0;
  for (auto _ : state) {
    if (n == video.TotalFrame()) {
      state.PauseTiming();
      video.DecodeFrame(0);  // starts over
      n = 1;
      state.ResumeTiming();
    }
    video.DecodeFrame(n++);
  }
  PerFrame(state);
}
BENCHMARK(BM_DecodeFrame);

// The demo's opening as built ("" when the demo game has not been built).
const std::string& DemoMovie() {
  static const std::string movie = [] {
    std::ifstream in(std::string(MOKUREN_DEMO_DIR) + "/op.ogv", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }();
  return movie;
}

// Gives `player` the movie `file` and prepares it; false, with the bench skipped on the problem, when it
// does not prepare.
bool Prepared(MoviePlayer& player, const std::string& file, benchmark::State& state) {
  player.SetFile(std::vector<uint8_t>(file.begin(), file.end()));
  std::string problem;
  if (player.Prepare(problem)) return true;
  state.SkipWithError(problem.c_str());
  return false;
}

// A playback's frame step and composition for each new frame: what a 30-frame-a-second movie costs the
// engine thread 30 times a second; the counter is the share of one core that takes. Each turn decodes
// exactly one frame, as BM_TheoraDecodeOnly does, and starts over (untimed) after the last. Argument 0
// plays the synthetic movie above, 1 the demo's opening.
void BM_FrameStepAndCompose(benchmark::State& state) {
  const std::string& file = state.range(0) == 0 ? Movie() : DemoMovie();
  state.SetLabel(state.range(0) == 0 ? "synthetic" : "demo op.ogv");
  MoviePlayer player;
  if (!Prepared(player, file, state)) return;
  TABitmap frame(kW, kH);
  uint32_t start = 0;
  int64_t k = 0;
  player.Start(start);
  for (auto _ : state) {
    // Frame k's time on the 30-per-second grid, in whole milliseconds.
    player.FrameStep(start + static_cast<uint32_t>((++k * 1000 + 15) / 30));
    player.DrawFrame(frame);
    if (player.LastFrame >= player.TotalFrames - 1) {
      state.PauseTiming();
      start += 100000;
      k = 0;
      player.Start(start);
      player.FrameStep(start);  // the first frame again
      state.ResumeTiming();
    }
  }
  PerFrame(state);
  // Seconds per frame times 30 frames a second, in percent.
  state.counters["core_at_30fps_%"] = benchmark::Counter(static_cast<double>(state.iterations()) / 3000.0,
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["held_MiB"] = static_cast<double>(player.FileSize()) / (1 << 20);
}
BENCHMARK(BM_FrameStepAndCompose)->DenseRange(0, 1);

// Opening the demo's movie up to its first picture: the player's preparation (both streams' headers, the
// check that the file is whole, the first picture) and the sound's first refill, a quarter of a second,
// as the sound system asks for it before the sound starts (argument 0). The reference in the same run
// (argument 1) decodes the whole sound track instead, as opening the movie did before its sound was
// decoded as it plays.
void BM_OpenDemoMovie(benchmark::State& state) {
  const std::string& file = DemoMovie();
  const bool whole = state.range(0) == 1;
  state.SetLabel(whole ? "reference: the whole track first" : "first refill only");
  std::vector<int16_t> pcm(2 * 48000);
  for (auto _ : state) {
    MoviePlayer player;
    if (!Prepared(player, file, state)) return;
    auto sound = player.TakeSound();
    const int64_t piece = player.SampleRate / 4;
    while (sound->Read(pcm.data(), piece) == piece && whole) {
    }
  }
}
BENCHMARK(BM_OpenDemoMovie)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mokuren

BENCHMARK_MAIN();
