#include "project/starter_media.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

#include "toolkit/png_writer.h"
#include "toolkit/vorbis_encoder.h"

namespace mokuren::project {

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr int kRate = 44100;
constexpr double kPi = std::numbers::pi;

struct Rgba {
  double r, g, b, a;
};

class Picture {
 public:
  Picture() : px_(static_cast<size_t>(kWidth) * kHeight, Rgba{0, 0, 0, 0}) {}
  Rgba& At(int x, int y) { return px_[static_cast<size_t>(y) * kWidth + x]; }
  // Blends c over every pixel inside the shape (a signed distance, negative inside), edges anti-aliased.
  template <typename Distance>
  void Fill(Distance inside, Rgba c) {
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const double cover = std::clamp(0.5 - inside(x + 0.5, y + 0.5), 0.0, 1.0) * c.a;
        if (cover <= 0) continue;
        Rgba& d = At(x, y);
        const double a = cover + d.a * (1 - cover);
        d = {(c.r * cover + d.r * d.a * (1 - cover)) / a, (c.g * cover + d.g * d.a * (1 - cover)) / a,
             (c.b * cover + d.b * d.a * (1 - cover)) / a, a};
      }
  }
  std::string Png() const {
    std::vector<uint8_t> rgba(px_.size() * 4);
    for (size_t i = 0; i < px_.size(); ++i) {
      const Rgba& p = px_[i];
      for (int k = 0; k < 4; ++k) {
        const double v = k == 0 ? p.r : k == 1 ? p.g : k == 2 ? p.b : p.a;
        rgba[i * 4 + static_cast<size_t>(k)] = static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
      }
    }
    return toolkit::EncodePng(kWidth, kHeight, rgba);
  }

 private:
  std::vector<Rgba> px_;
};

auto Ellipse(double cx, double cy, double rx, double ry) {
  return [=](double x, double y) { return (std::hypot((x - cx) / rx, (y - cy) / ry) - 1) * std::min(rx, ry); };
}

auto Rounded(double x0, double y0, double x1, double y1, double r) {
  return [=](double x, double y) {
    const double qx = std::fabs(x - (x0 + x1) / 2) - ((x1 - x0) / 2 - r);
    const double qy = std::fabs(y - (y0 + y1) / 2) - ((y1 - y0) / 2 - r);
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - r;
  };
}

// Block letters for the corner label, 3x5 cells.
void Letters(Picture& p, const char* text, int x, int y, int cell, Rgba c) {
  static const std::pair<char, const char*> kFont[] = {
      {'B', "110101110101110"}, {'G', "011100101101011"}, {'0', "111101101101111"}, {'1', "010110010010111"}};
  for (; *text; ++text, x += 4 * cell)
    for (const auto& [ch, bits] : kFont)
      if (ch == *text)
        for (int k = 0; k < 15; ++k)
          if (bits[k] == '1') {
            const double bx = x + (k % 3) * cell, by = y + (k / 3) * cell;
            p.Fill(Rounded(bx, by, bx + cell, by + cell, 1), c);
          }
}

std::vector<int16_t> ToPcm(const std::vector<double>& s) {
  double peak = 1e-9;
  for (double v : s) peak = std::max(peak, std::fabs(v));
  std::vector<int16_t> pcm(s.size());
  for (size_t i = 0; i < s.size(); ++i) pcm[i] = static_cast<int16_t>(std::lround(s[i] / peak * 0.6 * 32767));
  return pcm;
}

// A struck note: a few harmonics with an exponential decay, into both channels.
void Note(std::vector<double>& stereo, double start, double seconds, double hz, double pan) {
  const size_t first = static_cast<size_t>(start * kRate), n = static_cast<size_t>(seconds * kRate);
  for (size_t i = 0; i < n && (first + i) * 2 + 1 < stereo.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double env = std::min(1.0, t / 0.01) * std::exp(-3.0 * t) * std::min(1.0, (seconds - t) / 0.05);
    const double v = env * (std::sin(2 * kPi * hz * t) + 0.3 * std::sin(4 * kPi * hz * t));
    stereo[(first + i) * 2] += v * (1 - pan);
    stereo[(first + i) * 2 + 1] += v * (1 + pan);
  }
}

double MidiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

}  // namespace

std::string PlaceholderBackground() {
  Picture p;
  for (int y = 0; y < kHeight; ++y) {
    const double t = static_cast<double>(y) / (kHeight - 1);
    for (int x = 0; x < kWidth; ++x) p.At(x, y) = {0.55 + 0.25 * t, 0.62 + 0.2 * t, 0.78 + 0.05 * t, 1};
  }
  for (const auto& [cx, cy, r] :
       {std::array{170.0, 150.0, 120.0}, std::array{600.0, 260.0, 170.0}, std::array{330.0, 470.0, 90.0}}) {
    const auto ring = Ellipse(cx, cy, r, r);  // a lambda may not capture the bindings themselves (clang 14)
    p.Fill([&ring](double x, double y) { return std::fabs(ring(x, y)) - 3; }, {1, 1, 1, 0.35});
    p.Fill(Ellipse(cx, cy, r - 10, r - 10), {1, 1, 1, 0.08});
  }
  Letters(p, "BG01", 700, 560, 5, {1, 1, 1, 0.7});
  return p.Png();
}

std::string PlaceholderCharacter() {
  Picture p;
  const Rgba body{0.42, 0.45, 0.52, 1}, head{0.55, 0.58, 0.64, 1};
  p.Fill(Rounded(290, 300, 510, 640, 70), body);  // shoulders and body, running off the bottom
  p.Fill(Rounded(375, 250, 425, 320, 14), head);  // neck
  p.Fill(Ellipse(400, 190, 78, 92), head);
  return p.Png();
}

std::string PlaceholderMusic(int root, double seconds) {
  std::vector<double> stereo(static_cast<size_t>(seconds * kRate) * 2, 0.0);
  // I - vi - IV - V, an arpeggio of each chord, a bar of two seconds apiece.
  const int chords[4][3] = {{0, 4, 7}, {-3, 0, 4}, {-7, -3, 0}, {-5, -1, 2}};
  const double beat = 0.25;
  for (int k = 0; k * beat < seconds; ++k) {
    const int* chord = chords[(k / 8) % 4];
    const int degree = chord[k % 3] + (k % 8 >= 4 ? 12 : 0);
    Note(stereo, k * beat, std::min(1.2, seconds - k * beat), MidiHz(root + degree), (k % 2 ? 0.3 : -0.3));
    if (k % 8 == 0) Note(stereo, k * beat, std::min(2.0, seconds - k * beat), MidiHz(root + chord[0] - 12), 0);
  }
  const std::vector<int16_t> pcm = ToPcm(stereo);
  VorbisEncodeOptions options;
  options.quality = 0.3f;
  options.serial = static_cast<uint32_t>(root);
  char loop[64];
  std::snprintf(loop, sizeof loop, "*looptime,0,%.6f,%.6f,-1", 0.0, seconds);
  options.comments = {{"TITLE", "placeholder"}, {"COMMENT", loop}};
  return EncodeVorbis(pcm.data(), pcm.size() / 2, 2, kRate, options);
}

std::string PlaceholderEffect() {
  std::vector<double> stereo(static_cast<size_t>(0.8 * kRate) * 2, 0.0);
  Note(stereo, 0, 0.8, MidiHz(84), 0);
  Note(stereo, 0.08, 0.72, MidiHz(91), 0);
  const std::vector<int16_t> pcm = ToPcm(stereo);
  return EncodeVorbis(pcm.data(), pcm.size() / 2, 2, kRate);
}

}  // namespace mokuren::project
