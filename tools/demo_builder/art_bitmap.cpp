#include "art_bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "toolkit/png_writer.h"

namespace mokuren::demo {

void Blend(TABitmap& s, int x, int y, Colour c, int alpha) {
  if (x < 0 || y < 0 || x >= s.Width() || y >= s.Height()) return;
  uint8_t* p = s.ScanLine(y) + 4 * x;
  p[0] = static_cast<uint8_t>((c.b * alpha + p[0] * (255 - alpha)) / 255);
  p[1] = static_cast<uint8_t>((c.g * alpha + p[1] * (255 - alpha)) / 255);
  p[2] = static_cast<uint8_t>((c.r * alpha + p[2] * (255 - alpha)) / 255);
  p[3] = 0;
}

void FillBox(TABitmap& s, int x, int y, int w, int h, Colour c, int alpha) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) Blend(s, i, j, c, alpha);
}

void RoundBox(TABitmap& s, int x, int y, int w, int h, int radius, Colour c, int alpha) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) {
      const double px = i + 0.5, py = j + 0.5;
      const double qx = std::max({x + radius - px, px - (x + w - radius), 0.0});
      const double qy = std::max({y + radius - py, py - (y + h - radius), 0.0});
      const double coverage = std::clamp(radius + 0.5 - std::hypot(qx, qy), 0.0, 1.0);
      if (coverage > 0) Blend(s, i, j, c, static_cast<int>(alpha * coverage));
    }
}

void Gradient(TABitmap& s, Colour top, Colour bottom) {
  const int height = s.Height();
  for (int y = 0; y < height; ++y) {
    const double t = height > 1 ? static_cast<double>(y) / (height - 1) : 0.0;
    const Colour c{static_cast<int>(top.r + t * (bottom.r - top.r)), static_cast<int>(top.g + t * (bottom.g - top.g)),
                   static_cast<int>(top.b + t * (bottom.b - top.b))};
    FillBox(s, 0, y, s.Width(), 1, c, 255);
  }
}

void Centred(Lettering& text, TABitmap& s, int cx, int y, const std::u16string& label, const FontSpec& font, Rgb ink) {
  text.TextOut(s, cx - text.TextWidth(label, font) / 2, y, label, font, ink);
}

std::string ToPng(const TABitmap& s) {
  const int w = s.Width(), h = s.Height();
  std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = s.ScanLine(y) + 4 * x;
      uint8_t* q = &rgba[(static_cast<size_t>(y) * w + x) * 4];
      q[0] = p[2], q[1] = p[1], q[2] = p[0], q[3] = 255;
    }
  return toolkit::EncodePng(w, h, rgba);
}

}  // namespace mokuren::demo
