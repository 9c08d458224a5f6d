// Surfaces of one colour for graphics tests.
#pragma once

#include <cstdint>

#include "graphics/ABitmap.h"

namespace mokuren::testing {

// A w x h surface whose every pixel is blue b, green g, red r and transparency t.
inline TABitmap Solid(int32_t w, int32_t h, uint8_t b, uint8_t g, uint8_t r, uint8_t t) {
  TABitmap s(w, h);
  for (size_t i = 0; i < s.ByteSize(); i += 4) {
    s.Bits()[i] = b;
    s.Bits()[i + 1] = g;
    s.Bits()[i + 2] = r;
    s.Bits()[i + 3] = t;
  }
  return s;
}

// The colour of pixel (x, y) as 0xRRGGBB.
inline uint32_t Rgb(const TABitmap& s, int32_t x, int32_t y) {
  const uint8_t* p = s.ScanLine(y) + 4 * x;
  return static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
}

}  // namespace mokuren::testing
