// AVX2 row kernels: eight pixels per step. Used only when the processor reports AVX2; the code is
// compiled for it function by function, so the rest of the program stays baseline x86-64.
// 256-bit unpack and pack work within each 128-bit half, so widening and narrowing keep pixel order.
#include "graphics/pixel_kernels.h"

#if defined(MOKUREN_X86_KERNELS)

#include <immintrin.h>

#include <cstring>

#define MOKUREN_AVX2 __attribute__((target("avx2")))

namespace mokuren::kernels {

namespace {

MOKUREN_AVX2 inline __m256i Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
MOKUREN_AVX2 inline void Store(uint8_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

MOKUREN_AVX2 inline __m256i BlendConst8(__m256i s, __m256i d, __m256i a, __m256i inverse) {
  const __m256i zero = _mm256_setzero_si256();
  __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), a),
                                _mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), inverse));
  __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), a),
                                _mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), inverse));
  return _mm256_packus_epi16(_mm256_srli_epi16(lo, 8), _mm256_srli_epi16(hi, 8));
}

MOKUREN_AVX2 void BlendConstRow(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t a16) {
  const __m256i a = _mm256_set1_epi16(static_cast<int16_t>(a16));
  const __m256i inverse = _mm256_set1_epi16(static_cast<int16_t>(static_cast<uint16_t>(256 - a16)));
  int32_t i = 0;
  for (; i + 8 <= pixels; i += 8) Store(dst + i * 4, BlendConst8(Load(src + i * 4), Load(dst + i * 4), a, inverse));
  if (i < pixels) {
    alignas(32) uint8_t s[32] = {}, d[32] = {};
    const size_t bytes = static_cast<size_t>(pixels - i) * 4;
    std::memcpy(s, src + i * 4, bytes);
    std::memcpy(d, dst + i * 4, bytes);
    Store(d, BlendConst8(Load(s), Load(d), a, inverse));
    std::memcpy(dst + i * 4, d, bytes);
  }
}

// Four pixels widened to 16-bit lanes; inverseT holds 255 - T of each pixel in all four of its lanes.
MOKUREN_AVX2 inline __m256i Blend4(__m256i s, __m256i d, __m256i inverseT, __m256i o1) {
  const __m256i v255 = _mm256_set1_epi16(255);
  const __m256i w = _mm256_srli_epi16(_mm256_mullo_epi16(inverseT, o1), 8);
  const __m256i rest = _mm256_sub_epi16(v255, w);
  return _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(s, w), _mm256_mullo_epi16(d, rest)), 8);
}

MOKUREN_AVX2 inline __m256i DrawAlpha8(__m256i s, __m256i d, __m256i o1) {
  const __m256i zero = _mm256_setzero_si256();
  // 255 - T is the complement of byte 3; one byte shuffle spreads it over the pixel's four 16-bit lanes
  // (zero high bytes), in the same pixel order as the unpacks below.
  const __m256i inverted = _mm256_xor_si256(s, _mm256_set1_epi8(-1));
  const __m256i spreadLo = _mm256_setr_epi8(3, -128, 3, -128, 3, -128, 3, -128, 7, -128, 7, -128, 7, -128, 7, -128, 3,
                                            -128, 3, -128, 3, -128, 3, -128, 7, -128, 7, -128, 7, -128, 7, -128);
  const __m256i spreadHi =
      _mm256_setr_epi8(11, -128, 11, -128, 11, -128, 11, -128, 15, -128, 15, -128, 15, -128, 15, -128, 11, -128, 11,
                       -128, 11, -128, 11, -128, 15, -128, 15, -128, 15, -128, 15, -128);
  __m256i lo =
      Blend4(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero), _mm256_shuffle_epi8(inverted, spreadLo), o1);
  __m256i hi =
      Blend4(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero), _mm256_shuffle_epi8(inverted, spreadHi), o1);
  return _mm256_packus_epi16(lo, hi);
}

template <bool kSkip>
MOKUREN_AVX2 inline void DrawAlphaStep(const uint8_t* src, uint8_t* dst, __m256i o1) {
  const __m256i s = Load(src);
  if constexpr (kSkip) {
    const __m256i tByte = _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u));
    const __m256i clear = _mm256_cmpeq_epi32(_mm256_and_si256(s, tByte), tByte);  // pixels with T = 255
    const int bits = _mm256_movemask_epi8(clear);
    if (bits == -1) return;  // a fully transparent run: the destination stays as it is
    const __m256i d = Load(dst);
    const __m256i blended = DrawAlpha8(s, d, o1);
    Store(dst, bits == 0 ? blended : _mm256_blendv_epi8(blended, d, clear));
  } else {
    Store(dst, DrawAlpha8(s, Load(dst), o1));
  }
}

template <bool kSkip>
MOKUREN_AVX2 void DrawAlphaRowT(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t opacity) {
  const __m256i o1 = _mm256_set1_epi16(static_cast<int16_t>(static_cast<uint16_t>(opacity + 1)));
  int32_t i = 0;
  for (; i + 8 <= pixels; i += 8) DrawAlphaStep<kSkip>(src + i * 4, dst + i * 4, o1);
  if (i < pixels) {
    alignas(32) uint8_t s[32] = {}, d[32] = {};
    const size_t bytes = static_cast<size_t>(pixels - i) * 4;
    std::memcpy(s, src + i * 4, bytes);
    std::memcpy(d, dst + i * 4, bytes);
    DrawAlphaStep<kSkip>(s, d, o1);
    std::memcpy(dst + i * 4, d, bytes);
  }
}

MOKUREN_AVX2 void InvertRow(uint8_t* dst, int32_t pixels) {
  const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
  int32_t i = 0;
  for (; i + 8 <= pixels; i += 8) Store(dst + i * 4, _mm256_xor_si256(Load(dst + i * 4), colour));
  for (; i < pixels; ++i) {
    uint32_t p;
    std::memcpy(&p, dst + i * 4, 4);
    p ^= 0x00FFFFFFu;
    std::memcpy(dst + i * 4, &p, 4);
  }
}

}  // namespace

const RowKernels& Avx2Kernels() {
  // Scaling is bound by its scattered reads; the SSE2 row serves here as well.
  static const RowKernels k{BlendConstRow, DrawAlphaRowT<false>, DrawAlphaRowT<true>, InvertRow,
                            Sse2Kernels().stretchRow};
  return k;
}

}  // namespace mokuren::kernels

#endif
