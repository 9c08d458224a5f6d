#include "opening.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <numbers>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "art_title.h"
#include "graphics/ABitmapFilters32.h"
#include "sound.h"
#include "text/text_renderer.h"
#include "toolkit/theora_encoder.h"

namespace mokuren::demo {

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr uint32_t kFps = 30;
constexpr int kNameCentre = 290;

double Smooth(double from, double to, double t) {
  const double x = std::clamp((t - from) / (to - from), 0.0, 1.0);
  return x * x * (3 - 2 * x);
}

// One petal's fall: down at its own speed, swaying and tumbling (its height shrinks as it turns edge on),
// carried left by a light wind; it comes round again above the top.
struct Petal {
  double x, y, speed, sway, swayHz, swayPhase, size, spinHz, spinPhase;
  int alpha;
};

std::vector<Petal> Petals() {
  std::mt19937 rng(2026);
  auto u = [&](double a, double b) { return std::uniform_real_distribution<>(a, b)(rng); };
  std::vector<Petal> petals(46);
  for (Petal& p : petals)
    p = {u(0, 900), u(-40, 640), u(45, 95),   u(12, 40), u(0.15, 0.4),
         u(0, 6.3), u(6, 12),    u(0.3, 0.9), u(0, 6.3), static_cast<int>(u(170, 240))};
  return petals;
}

// The game's name, large, in the open sky left of the branch.
void DrawName(TABitmap& s) {
  TextRenderer renderer;
  std::string error;
  if (!renderer.Open(error)) return;  // without fonts the movie has the sky and the petals only
  const FontSpec big{FontName::PMincho, 120, false}, small{FontName::PMincho, 30, false};
  const std::u16string name = u"木蓮", reading = u"― もくれん ―";
  renderer.TextOut(s, kNameCentre - renderer.TextWidth(name, big) / 2, 180, name, big, Rgb{0xF8, 0xF0, 0xE8});
  renderer.TextOut(s, kNameCentre - renderer.TextWidth(reading, small) / 2, 320, reading, small, Rgb{0xC8, 0xC0, 0xD8});
}

// Frame at t seconds: the sky fading in from black, the name fading in over it, the petals, and all of it
// fading back to black at the end, where the title screen takes over.
void DrawFrame(TABitmap& frame, const TABitmap& sky, const TABitmap& named, const std::vector<Petal>& petals, double t,
               double seconds) {
  const int name = static_cast<int>(256 * Smooth(3.0, 6.0, t));
  const int light = static_cast<int>(256 * std::min(Smooth(0.0, 1.5, t), 1.0 - Smooth(seconds - 1.5, seconds, t)));
  for (int32_t y = 0; y < kHeight; ++y) {
    const uint8_t* a = sky.ScanLine(y);
    const uint8_t* b = named.ScanLine(y);
    uint8_t* out = frame.ScanLine(y);
    for (int32_t i = 0; i < kWidth * 4; ++i)
      out[i] = static_cast<uint8_t>(((a[i] * (256 - name) + b[i] * name) >> 8) * light >> 8);
  }
  for (const Petal& p : petals) {
    const double y = std::fmod(p.y + p.speed * t + 40, kHeight + 80) - 40;
    const double x =
        std::fmod(p.x - 22 * t + p.sway * std::sin(2 * std::numbers::pi * p.swayHz * t + p.swayPhase) + 1800,
                  kWidth + 100) -
        50;
    const double turn = 0.25 + 0.75 * std::abs(std::cos(2 * std::numbers::pi * p.spinHz * t + p.spinPhase));
    Disc(frame, x, y, p.size, p.size * turn, {0xF8, 0xDC, 0xE6}, p.alpha * light >> 8);
  }
}

}  // namespace

void MakeOpeningMovie(const std::filesystem::path& file, const OpeningSize& size) {
  const TABitmap sky = TitleBackdrop();
  TABitmap named = sky;
  DrawName(named);
  const std::vector<Petal> petals = Petals();

  MovieEncodeOptions options;
  options.fpsNumerator = kFps;
  options.quality = 40;
  MovieEncoder encoder(size.width, size.height, options);
  if (!encoder.Ok()) throw std::runtime_error("the Theora encoder refuses " + file.string());
  const int frames = static_cast<int>(std::lround(size.seconds * kFps));
  TABitmap frame(kWidth, kHeight), scaled(size.width, size.height);
  for (int n = 0; n < frames; ++n) {
    DrawFrame(frame, sky, named, petals, static_cast<double>(n) / kFps, size.seconds);
    if (size.width == kWidth && size.height == kHeight) {
      encoder.AddFrame(frame);
    } else {
      StretchBilinear(frame, scaled, 0, 0, size.width, size.height, 0, 0, kWidth, kHeight);
      encoder.AddFrame(scaled);
    }
    if ((n + 1) % (frames / 10 > 0 ? frames / 10 : 1) == 0)
      std::cout << "  " << file.filename().string() << ": " << n + 1 << "/" << frames << " frames\n" << std::flush;
  }
  const std::vector<int16_t> music = MakeOpeningMusic(size.seconds);
  encoder.AddSound(music.data(), music.size() / 2);
  const std::string movie = encoder.Finish();
  std::ofstream out(file, std::ios::binary);
  out.write(movie.data(), static_cast<std::streamsize>(movie.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
  std::cout << "  " << file.filename().string() << ": " << size.width << "x" << size.height << ", " << size.seconds
            << " s, " << movie.size() / 1024 << " KiB\n";
}

}  // namespace mokuren::demo
