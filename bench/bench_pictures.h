// Pictures the pixel benchmarks draw with, the same in every program that times the kernels (natively,
// under node and in the bench page), so that their figures can be held side by side.
#pragma once

#include <cstdint>
#include <random>

#include "graphics/ABitmap.h"

namespace mokuren {

// A picture like a character layer: runs of fully clear, fully opaque and soft pixels.
inline TABitmap Sprite(uint32_t seed, int32_t w = 800, int32_t h = 600) {
  TABitmap s(w, h);
  std::mt19937 rng(seed);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint8_t* p = s.ScanLine(y) + x * 4;
      p[0] = static_cast<uint8_t>(rng());
      p[1] = static_cast<uint8_t>(x);
      p[2] = static_cast<uint8_t>(y);
      const int edge = x - 250 - (y % 64);
      p[3] = edge < 0 ? 255 : edge < 40 ? static_cast<uint8_t>(255 - edge * 6) : (x > 560 ? 255 : 0);
    }
  return s;
}

}  // namespace mokuren
