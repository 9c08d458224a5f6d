#include "art_bitmap.h"

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
