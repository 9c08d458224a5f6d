// SSE2 row kernels (the x86-64 baseline): four pixels per step, each byte widened to a 16-bit lane so
// the arithmetic is the reference's 16-bit arithmetic lane for lane. Row tails shorter than one step go
// through a small buffer and the same vector code, so there is no second scalar path to keep in step.
#include "graphics/pixel_kernels.h"

#if defined(MOKUREN_X86_KERNELS)

#include <emmintrin.h>

#include <cstring>

namespace mokuren::kernels {

namespace {

inline __m128i Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

inline __m128i BlendConst4(__m128i s, __m128i d, __m128i a, __m128i inverse) {
  const __m128i zero = _mm_setzero_si128();
  __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), a),
                             _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), inverse));
  __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), a),
                             _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), inverse));
  return _mm_packus_epi16(_mm_srli_epi16(lo, 8), _mm_srli_epi16(hi, 8));
}

void BlendConstRow(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t a16) {
  const __m128i a = _mm_set1_epi16(static_cast<int16_t>(a16));
  const __m128i inverse = _mm_set1_epi16(static_cast<int16_t>(static_cast<uint16_t>(256 - a16)));
  int32_t i = 0;
  for (; i + 4 <= pixels; i += 4) Store(dst + i * 4, BlendConst4(Load(src + i * 4), Load(dst + i * 4), a, inverse));
  if (i < pixels) {
    alignas(16) uint8_t s[16] = {}, d[16] = {};
    const size_t bytes = static_cast<size_t>(pixels - i) * 4;
    std::memcpy(s, src + i * 4, bytes);
    std::memcpy(d, dst + i * 4, bytes);
    Store(d, BlendConst4(Load(s), Load(d), a, inverse));
    std::memcpy(dst + i * 4, d, bytes);
  }
}

// Two pixels widened to 16-bit lanes: w = ((255 - T) * (opacity + 1)) >> 8 in every lane of its pixel.
inline __m128i Blend2(__m128i s, __m128i d, __m128i o1) {
  const __m128i v255 = _mm_set1_epi16(255);
  const __m128i t = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
  const __m128i w = _mm_srli_epi16(_mm_mullo_epi16(_mm_sub_epi16(v255, t), o1), 8);
  const __m128i rest = _mm_sub_epi16(v255, w);
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(s, w), _mm_mullo_epi16(d, rest)), 8);
}

inline __m128i DrawAlpha4(__m128i s, __m128i d, __m128i o1) {
  const __m128i zero = _mm_setzero_si128();
  __m128i lo = Blend2(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), o1);
  __m128i hi = Blend2(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), o1);
  return _mm_packus_epi16(lo, hi);
}

template <bool kSkip>
inline void DrawAlphaStep(const uint8_t* src, uint8_t* dst, __m128i o1) {
  const __m128i s = Load(src);
  const __m128i d = Load(dst);
  if constexpr (kSkip) {
    const __m128i tByte = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
    const __m128i clear = _mm_cmpeq_epi32(_mm_and_si128(s, tByte), tByte);  // pixels with T = 255
    const int bits = _mm_movemask_epi8(clear);
    if (bits == 0xFFFF) return;  // a fully transparent run: the destination stays as it is
    const __m128i blended = DrawAlpha4(s, d, o1);
    Store(dst, bits == 0 ? blended : _mm_or_si128(_mm_and_si128(clear, d), _mm_andnot_si128(clear, blended)));
  } else {
    Store(dst, DrawAlpha4(s, d, o1));
  }
}

template <bool kSkip>
void DrawAlphaRowT(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t opacity) {
  const __m128i o1 = _mm_set1_epi16(static_cast<int16_t>(static_cast<uint16_t>(opacity + 1)));
  int32_t i = 0;
  for (; i + 4 <= pixels; i += 4) DrawAlphaStep<kSkip>(src + i * 4, dst + i * 4, o1);
  if (i < pixels) {
    alignas(16) uint8_t s[16] = {}, d[16] = {};
    const size_t bytes = static_cast<size_t>(pixels - i) * 4;
    std::memcpy(s, src + i * 4, bytes);
    std::memcpy(d, dst + i * 4, bytes);
    DrawAlphaStep<kSkip>(s, d, o1);
    std::memcpy(dst + i * 4, d, bytes);
  }
}

void InvertRow(uint8_t* dst, int32_t pixels) {
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  int32_t i = 0;
  for (; i + 4 <= pixels; i += 4) Store(dst + i * 4, _mm_xor_si128(Load(dst + i * 4), colour));
  for (; i < pixels; ++i) {
    uint32_t p;
    std::memcpy(&p, dst + i * 4, 4);
    p ^= 0x00FFFFFFu;
    std::memcpy(dst + i * 4, &p, 4);
  }
}

inline __m128i Pixel2(const uint8_t* row, int32_t c0, int32_t c1) {
  int32_t a, b;
  std::memcpy(&a, row + c0 * 4, 4);
  std::memcpy(&b, row + c1 * 4, 4);
  return _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(a), _mm_cvtsi32_si128(b)), _mm_setzero_si128());
}

// Bilinear pixels two at a time; the row kernel is bound by its scattered reads, not by arithmetic.
void StretchRow(const uint8_t* row0, const uint8_t* row1, uint8_t* dst, int32_t pixels, const StretchColumns& columns,
                uint8_t fy8) {
  const __m128i v255 = _mm_set1_epi16(255);
  const __m128i fy = _mm_set1_epi16(fy8);
  const __m128i fyRest = _mm_sub_epi16(v255, fy);
  int32_t i = 0;
  for (; i < pixels; i += 2) {
    const int32_t j = i + 1 < pixels ? i + 1 : i;  // an odd last pixel is computed twice, stored once
    const __m128i p00 = Pixel2(row0, columns.c0[i], columns.c0[j]);
    const __m128i p01 = Pixel2(row0, columns.c1[i], columns.c1[j]);
    const __m128i p10 = Pixel2(row1, columns.c0[i], columns.c0[j]);
    const __m128i p11 = Pixel2(row1, columns.c1[i], columns.c1[j]);
    const __m128i fx = _mm_unpacklo_epi64(_mm_set1_epi16(columns.fx[i]), _mm_set1_epi16(columns.fx[j]));
    const __m128i fxRest = _mm_sub_epi16(v255, fx);
    const __m128i top = _mm_srli_epi16(_mm_adds_epu16(_mm_mullo_epi16(p00, fxRest), _mm_mullo_epi16(p01, fx)), 8);
    const __m128i bottom = _mm_srli_epi16(_mm_adds_epu16(_mm_mullo_epi16(p10, fxRest), _mm_mullo_epi16(p11, fx)), 8);
    const __m128i v = _mm_srli_epi16(_mm_adds_epu16(_mm_mullo_epi16(top, fyRest), _mm_mullo_epi16(bottom, fy)), 8);
    const __m128i packed = _mm_packus_epi16(v, v);
    if (j != i) {
      _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + i * 4), packed);
    } else {
      const int32_t one = _mm_cvtsi128_si32(packed);
      std::memcpy(dst + i * 4, &one, 4);
    }
  }
}

}  // namespace

const RowKernels& Sse2Kernels() {
  static const RowKernels k{BlendConstRow, DrawAlphaRowT<false>, DrawAlphaRowT<true>, InvertRow, StretchRow};
  return k;
}

}  // namespace mokuren::kernels

#endif
