#include "icon.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "art_bitmap.h"
#include "toolkit/png_writer.h"

namespace mokuren::demo {

namespace {

// A disc with an edge smoothed over one pixel, so the petals stay sharp at every size.
void Round(TABitmap& s, double cx, double cy, double r, Colour c, int alpha) {
  for (int y = static_cast<int>(cy - r) - 1; y <= static_cast<int>(cy + r) + 1; ++y)
    for (int x = static_cast<int>(cx - r) - 1; x <= static_cast<int>(cx + r) + 1; ++x) {
      const double cover = std::clamp(r - std::hypot(x + 0.5 - cx, y + 0.5 - cy) + 0.5, 0.0, 1.0);
      if (cover > 0) Blend(s, x, y, c, static_cast<int>(alpha * cover));
    }
}

}  // namespace

std::string IconPng(int size, bool fullBleed) {
  const double s = size, c = s / 2;
  TABitmap icon(size, size);
  // The title's night sky, darker at the top.
  for (int y = 0; y < size; ++y) {
    const double t = y / (s - 1);
    const Colour sky{static_cast<int>(0x18 + t * 0x40), static_cast<int>(0x1c + t * 0x20),
                     static_cast<int>(0x3a + t * 0x36)};
    for (int x = 0; x < size; ++x) Blend(icon, x, y, sky, 255);
  }
  // Five pale petals around a warm centre, as on the branch: each a pink rim with a paler heart.
  constexpr double kPi = 3.14159265358979;
  for (int k = 0; k < 5; ++k) {
    const double a = k * 2 * kPi / 5 - kPi / 2;
    Round(icon, c + 0.21 * s * std::cos(a), c + 0.21 * s * std::sin(a), 0.165 * s, {0xE2, 0xB4, 0xCA}, 255);
    Round(icon, c + 0.19 * s * std::cos(a), c + 0.19 * s * std::sin(a), 0.135 * s, {0xF8, 0xEA, 0xF0}, 255);
  }
  Round(icon, c, c, 0.08 * s, {0xE8, 0xB0, 0x70}, 255);
  for (int k = 0; k < 10; ++k) {
    const double a = k * 2 * kPi / 10;
    Round(icon, c + 0.1 * s * std::cos(a), c + 0.1 * s * std::sin(a), std::max(0.015 * s, 0.8), {0xC0, 0x70, 0x40},
          255);
  }
  // The disc's edge, smoothed over one pixel, is the only transparency (none at all when full bleed).
  std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const uint8_t* p = icon.ScanLine(y) + 4 * x;
      uint8_t* q = &rgba[(static_cast<size_t>(y) * size + x) * 4];
      const double inside = fullBleed ? 1.0 : 0.48 * s - std::hypot(x + 0.5 - c, y + 0.5 - c);
      q[0] = p[2], q[1] = p[1], q[2] = p[0];
      q[3] = static_cast<uint8_t>(std::clamp(inside + 0.5, 0.0, 1.0) * 255);
    }
  return toolkit::EncodePng(size, size, rgba);
}

}  // namespace mokuren::demo
