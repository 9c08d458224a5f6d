// Row kernels of the movie's colour conversion, Y'CbCr (BT.601 studio range) to the engine's 32-bit
// pixels. One kernel converts one row; each set (scalar, SSE2, AVX2) gives the same bytes for the same
// input. The arithmetic is defined in 16-bit lanes so that the vector versions can follow it exactly:
//   c = Y' - 16, d = Cb - 128, e = Cr - 128, mulhi(a, k) = (a * k) >> 16 (arithmetic shift)
//   y = mulhi(c << 7, 19077)                                        (1.164 c, with 5 fraction bits)
//   red   = (y + mulhi(e << 7, 26149) + 16) >> 5                    (+ 1.596 e)
//   green = (y - mulhi(d << 7, 6419) - mulhi(e << 7, 13320) + 16) >> 5   (- 0.392 d - 0.813 e)
//   blue  = (y + (d << 6) + mulhi(d << 7, 282) + 16) >> 5           (+ 2.017 d)
// each clamped to 0-255. No intermediate leaves the signed 16-bit range for any input.
#pragma once

#include <cstdint>

#include "graphics/ABitmapFilters32.h"

namespace mokuren::kernels {

// Converts `pixels` pixels: pixel i takes y[i] and the chroma samples cb[i >> chromaShift] and
// cr[i >> chromaShift] (chromaShift 1 for horizontally halved chroma, 0 for full), and is written to
// dst as blue, green, red and 0 (opaque). Reads exactly the samples it uses.
using YCbCrRowKernel = void (*)(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint8_t* dst, int32_t pixels,
                                int chromaShift);

void YCbCrRowScalar(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint8_t* dst, int32_t pixels,
                    int chromaShift);
#if defined(__x86_64__) || defined(__i386__)
void YCbCrRowSse2(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint8_t* dst, int32_t pixels,
                  int chromaShift);
void YCbCrRowAvx2(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint8_t* dst, int32_t pixels,
                  int chromaShift);
#endif

// The kernel of a set; a set this machine cannot run gives the scalar one.
YCbCrRowKernel YCbCrRowFor(PixelKernels set);

}  // namespace mokuren::kernels
