// The reference conversion, one pixel at a time, and the choice of kernel by set.
#include <algorithm>

#include "movie/ycbcr_kernels.h"

namespace mokuren::kernels {

namespace {

inline int32_t MulHi(int32_t a, int32_t k) { return (a * k) >> 16; }
inline uint8_t Clamp(int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

}  // namespace

void YCbCrRowScalar(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint8_t* dst, int32_t pixels,
                    int chromaShift) {
  for (int32_t i = 0; i < pixels; ++i) {
    const int32_t c = y[i] - 16, d = cb[i >> chromaShift] - 128, e = cr[i >> chromaShift] - 128;
    const int32_t luma = MulHi(c * 128, 19077);
    dst[4 * i + 0] = Clamp((luma + d * 64 + MulHi(d * 128, 282) + 16) >> 5);
    dst[4 * i + 1] = Clamp((luma - MulHi(d * 128, 6419) - MulHi(e * 128, 13320) + 16) >> 5);
    dst[4 * i + 2] = Clamp((luma + MulHi(e * 128, 26149) + 16) >> 5);
    dst[4 * i + 3] = 0;
  }
}

YCbCrRowKernel YCbCrRowFor(PixelKernels set) {
  if (!PixelKernelsAvailable(set)) return YCbCrRowScalar;
#if defined(__x86_64__) || defined(__i386__)
  if (set == PixelKernels::Avx2) return YCbCrRowAvx2;
  // The colour conversion has no multiply-add of bytes: the SSE4.1 set takes the SSE2 row.
  if (set == PixelKernels::Sse2 || set == PixelKernels::Sse41) return YCbCrRowSse2;
#endif
  return YCbCrRowScalar;
}

}  // namespace mokuren::kernels
