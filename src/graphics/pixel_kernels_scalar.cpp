// The reference row kernels: plain integer code written as the formulas read.
#include "graphics/pixel_kernels.h"

namespace mokuren::kernels {

namespace {

void BlendConstRow(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t a) {
  // Packed 16-bit lanes wrap; only a = 0..255 is used, where nothing wraps and 65280 >> 8 fits a byte.
  const uint16_t inverse = static_cast<uint16_t>(256 - a);
  for (int32_t i = 0; i < pixels * 4; ++i) {
    const uint16_t sum = static_cast<uint16_t>(src[i] * a + dst[i] * inverse);
    dst[i] = static_cast<uint8_t>(sum >> 8);
  }
}

inline void DrawAlphaPixel(const uint8_t* s, uint8_t* d, uint16_t opacityPlusOne) {
  const uint16_t w = static_cast<uint16_t>(static_cast<uint16_t>((255 - s[3]) * opacityPlusOne) >> 8);
  const uint16_t rest = static_cast<uint16_t>(255 - w);
  for (int b = 0; b < 4; ++b) d[b] = static_cast<uint8_t>((s[b] * w + d[b] * rest) >> 8);
}

void DrawAlphaRow(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t opacity) {
  const uint16_t o1 = static_cast<uint16_t>(opacity + 1);
  for (int32_t i = 0; i < pixels; ++i) DrawAlphaPixel(src + i * 4, dst + i * 4, o1);
}

void DrawAlphaSkipRow(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t opacity) {
  const uint16_t o1 = static_cast<uint16_t>(opacity + 1);
  for (int32_t i = 0; i < pixels; ++i) {
    if (src[i * 4 + 3] == 255) continue;
    DrawAlphaPixel(src + i * 4, dst + i * 4, o1);
  }
}

void InvertRow(uint8_t* dst, int32_t pixels) {
  for (int32_t i = 0; i < pixels; ++i) {
    dst[i * 4 + 0] = static_cast<uint8_t>(255 - dst[i * 4 + 0]);
    dst[i * 4 + 1] = static_cast<uint8_t>(255 - dst[i * 4 + 1]);
    dst[i * 4 + 2] = static_cast<uint8_t>(255 - dst[i * 4 + 2]);
  }
}

inline uint16_t Sat16(uint32_t v) { return static_cast<uint16_t>(v > 65535 ? 65535 : v); }

void StretchRow(const uint8_t* row0, const uint8_t* row1, uint8_t* dst, int32_t pixels, const StretchColumns& columns,
                uint8_t fy) {
  for (int32_t i = 0; i < pixels; ++i) {
    const uint8_t* p00 = row0 + columns.c0[i] * 4;
    const uint8_t* p01 = row0 + columns.c1[i] * 4;
    const uint8_t* p10 = row1 + columns.c0[i] * 4;
    const uint8_t* p11 = row1 + columns.c1[i] * 4;
    const uint32_t fx = columns.fx[i];
    for (int b = 0; b < 4; ++b) {
      const uint32_t top = Sat16(p00[b] * (255 - fx) + p01[b] * fx) >> 8;
      const uint32_t bottom = Sat16(p10[b] * (255 - fx) + p11[b] * fx) >> 8;
      const uint32_t v = Sat16(top * (255u - fy) + bottom * fy) >> 8;
      dst[i * 4 + b] = static_cast<uint8_t>(v > 255 ? 255 : v);
    }
  }
}

void CoverageRow(const uint8_t* coverage, uint8_t* dst, int32_t pixels, uint32_t colour) {
  for (int32_t i = 0; i < pixels; ++i) {
    dst[i * 4 + 0] = static_cast<uint8_t>(colour);
    dst[i * 4 + 1] = static_cast<uint8_t>(colour >> 8);
    dst[i * 4 + 2] = static_cast<uint8_t>(colour >> 16);
    dst[i * 4 + 3] = static_cast<uint8_t>(255 - coverage[i]);
  }
}

}  // namespace

const RowKernels& ScalarKernels() {
  static const RowKernels k{BlendConstRow, DrawAlphaRow, DrawAlphaSkipRow, InvertRow, StretchRow, CoverageRow};
  return k;
}

}  // namespace mokuren::kernels
