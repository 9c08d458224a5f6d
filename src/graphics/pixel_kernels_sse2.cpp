// SSE2 row kernels (the x86-64 baseline): four pixels per step, each byte in a 16-bit lane of its own,
// with arithmetic that gives the reference's results exactly (where it is not the reference's own
// formula, the comment says why it is equal). Pixels before and after the aligned whole steps go through
// a small buffer and the same vector code, so there is no second scalar path to keep in step.
#include "graphics/pixel_kernels.h"

#if defined(MOKUREN_X86_KERNELS) || defined(__wasm_simd128__)

#include <emmintrin.h>
#if defined(__wasm__)
#include <wasm_simd128.h>
#endif

#include <algorithm>
#include <cstring>

namespace mokuren::kernels {

namespace {

inline __m128i Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Fewer than four pixels: through a buffer, pixel by pixel, and the same vector step.
template <typename Step>
inline void Partial(const Step& step, const uint8_t* src, uint8_t* dst, int32_t pixels) {
  alignas(16) uint8_t s[16] = {}, d[16] = {};
  for (int32_t i = 0; i < pixels; ++i) {
    std::memcpy(s + i * 4, src + i * 4, 4);
    std::memcpy(d + i * 4, dst + i * 4, 4);
  }
  step(s, d);
  for (int32_t i = 0; i < pixels; ++i) std::memcpy(dst + i * 4, d + i * 4, 4);
}

// Runs a step of four pixels along a row, the whole steps storing to 16-byte aligned addresses.
template <typename Step>
inline void ForRow(const Step& step, const uint8_t* src, uint8_t* dst, int32_t pixels) {
  const auto address = reinterpret_cast<uintptr_t>(dst);
  const int32_t head =
      (address & 3) ? 0 : std::min<int32_t>(pixels, static_cast<int32_t>((16 - (address & 15)) & 15) / 4);
  if (head > 0) Partial(step, src, dst, head);
  int32_t i = head;
  // Two steps a turn: with one, how fast the loop runs depends on where its code happens to lie.
  for (; i + 8 <= pixels; i += 8) {
    step(src + i * 4, dst + i * 4);
    step(src + i * 4 + 16, dst + i * 4 + 16);
  }
  if (i + 4 <= pixels) {
    step(src + i * 4, dst + i * 4);
    i += 4;
  }
  if (i < pixels) Partial(step, src + i * 4, dst + i * 4, pixels - i);
}

// ---- Constant blend ---------------------------------------------------------------------------------
// For a from 1 to 255 except 128: (src * a + dest * (256 - a)) >> 8 = base + ((other - base) * k) >> 8,
// with base = dest, k = a for a < 128 and base = src, k = 256 - a for a > 128. k < 128, so k << 8 is a
// signed 16-bit factor and one high multiply gives the (signed) high byte; added to base with byte
// wrap-around it is the exact result. That is two multiplies per eight bytes instead of four.
#if defined(__wasm__)
// WebAssembly has no high multiply (the SSE header builds one from two widening multiplies and a shuffle):
// the bytes are split by position instead of unpacked, and a low multiply serves. (other - base) * k
// fits a signed 16-bit lane, so bits 8 to 15 of the low product are the high byte above.
constexpr int kBlendFactorShift = 0;
template <bool kSourceBase>
struct BlendConstStep {
  __m128i k;  // k in every lane
  void operator()(const uint8_t* src, uint8_t* dst) const {
    const __m128i s = Load(src), d = Load(dst), low = _mm_set1_epi16(0x00FF);
    const __m128i base = kSourceBase ? s : d, other = kSourceBase ? d : s;
    const __m128i even = _mm_mullo_epi16(_mm_sub_epi16(_mm_and_si128(other, low), _mm_and_si128(base, low)), k);
    const __m128i odd = _mm_mullo_epi16(_mm_sub_epi16(_mm_srli_epi16(other, 8), _mm_srli_epi16(base, 8)), k);
    Store(dst, _mm_add_epi8(base, _mm_or_si128(_mm_srli_epi16(even, 8), _mm_andnot_si128(low, odd))));
  }
};
#else
// On x86 the unpacks and the high multiply are single instructions; this is fewer of them than the split
// by position above, which measures slower here.
constexpr int kBlendFactorShift = 8;
template <bool kSourceBase>
struct BlendConstStep {
  __m128i k;  // k << 8 in every lane
  void operator()(const uint8_t* src, uint8_t* dst) const {
    const __m128i s = Load(src), d = Load(dst), zero = _mm_setzero_si128();
    const __m128i base = kSourceBase ? s : d, other = kSourceBase ? d : s;
    const __m128i lo = _mm_mulhi_epi16(_mm_sub_epi16(_mm_unpacklo_epi8(other, zero), _mm_unpacklo_epi8(base, zero)), k);
    const __m128i hi = _mm_mulhi_epi16(_mm_sub_epi16(_mm_unpackhi_epi8(other, zero), _mm_unpackhi_epi8(base, zero)), k);
    Store(dst, _mm_add_epi8(base, _mm_packs_epi16(lo, hi)));
  }
};
#endif

// a = 128: (src + dest) >> 1, the rounded-up average less the bit it rounded up.
struct BlendHalfStep {
  void operator()(const uint8_t* src, uint8_t* dst) const {
    const __m128i s = Load(src), d = Load(dst);
    const __m128i odd = _mm_and_si128(_mm_xor_si128(s, d), _mm_set1_epi8(1));
    Store(dst, _mm_sub_epi8(_mm_avg_epu8(s, d), odd));
  }
};

// a of 256 and more: the sums wrap in 16 bits as the reference's do.
struct BlendConstWideStep {
  __m128i a, inverse;
  void operator()(const uint8_t* src, uint8_t* dst) const {
    const __m128i s = Load(src), d = Load(dst), zero = _mm_setzero_si128();
    const __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), a),
                                     _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), inverse));
    const __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), a),
                                     _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), inverse));
    Store(dst, _mm_packus_epi16(_mm_srli_epi16(lo, 8), _mm_srli_epi16(hi, 8)));
  }
};

void BlendConstRow(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t a) {
  const auto inverse = static_cast<uint16_t>(256 - a);
  if (a == 0) return;  // dest * 256 >> 8
  if (a > 255) {
    ForRow(BlendConstWideStep{_mm_set1_epi16(static_cast<int16_t>(a)), _mm_set1_epi16(static_cast<int16_t>(inverse))},
           src, dst, pixels);
  } else if (a == 128) {
    ForRow(BlendHalfStep{}, src, dst, pixels);
  } else if (a < 128) {
    ForRow(BlendConstStep<false>{_mm_set1_epi16(static_cast<int16_t>(a << kBlendFactorShift))}, src, dst, pixels);
  } else {
    ForRow(BlendConstStep<true>{_mm_set1_epi16(static_cast<int16_t>(inverse << kBlendFactorShift))}, src, dst, pixels);
  }
}

// ---- Per-pixel blend --------------------------------------------------------------------------------
// Four pixels. The bytes are split by position instead of unpacked: the even bytes (blue, red) and the
// odd ones (green, T) each sit alone in a 16-bit lane after a mask or a shift, both lanes of a pixel take
// the same weight, and the results go back by shift and mask instead of a pack. kFull is opacity 255,
// where w = 255 - T needs no multiply.
template <bool kFull>
inline __m128i DrawAlphaWeight(__m128i s, __m128i o1) {
  const __m128i t = _mm_srli_epi32(s, 24);
  if constexpr (kFull) {
    const __m128i w = _mm_xor_si128(t, _mm_set1_epi32(0xFF));
    return _mm_or_si128(w, _mm_slli_epi32(w, 16));  // 255 - T in both lanes of the pixel
  } else {
    const __m128i one = _mm_srli_epi16(_mm_mullo_epi16(_mm_xor_si128(t, _mm_set1_epi32(0xFF)), o1), 8);
    return _mm_or_si128(one, _mm_slli_epi32(one, 16));
  }
}

#if defined(__wasm__)
// One multiply per lane instead of two. With weights u on b and 255 - u on a,
// b * u + a * (255 - u) = 256 a + y with y = (b - a) * u - a, so the result is a + floor(y / 256), which
// lies in 0..255: a plus bits 8 to 15 of y, added with byte wrap-around, is exact, and those bits of y
// come out right from 16-bit lanes that wrap. At opacity 255 the weight of the destination is T itself
// (a = source, b = destination, u = T), which a shuffle of the odd lanes gives; otherwise a = destination,
// b = source and u = w.
template <bool kFull>
inline __m128i DrawAlphaBlend(__m128i s, __m128i d, __m128i o1) {
  const __m128i low = _mm_set1_epi16(0x00FF);
  const __m128i sEven = _mm_and_si128(s, low), sOdd = _mm_srli_epi16(s, 8);
  const __m128i dEven = _mm_and_si128(d, low), dOdd = _mm_srli_epi16(d, 8);
  __m128i even, odd, base;
  if constexpr (kFull) {
    // T in both lanes of a pixel, by one shuffle (the two of SSE2 stay two).
    const __m128i t = (__m128i)wasm_i8x16_shuffle(sOdd, sOdd, 2, 3, 2, 3, 6, 7, 6, 7, 10, 11, 10, 11, 14, 15, 14, 15);
    even = _mm_sub_epi16(_mm_mullo_epi16(_mm_sub_epi16(dEven, sEven), t), sEven);
    odd = _mm_sub_epi16(_mm_mullo_epi16(_mm_sub_epi16(dOdd, sOdd), t), sOdd);
    base = s;
  } else {
    const __m128i w = DrawAlphaWeight<false>(s, o1);
    even = _mm_sub_epi16(_mm_mullo_epi16(_mm_sub_epi16(sEven, dEven), w), dEven);
    odd = _mm_sub_epi16(_mm_mullo_epi16(_mm_sub_epi16(sOdd, dOdd), w), dOdd);
    base = d;
  }
  return _mm_add_epi8(base, _mm_or_si128(_mm_srli_epi16(even, 8), _mm_andnot_si128(low, odd)));
}
#else
// On x86 the two multiplies per lane of the reference's own formula measure as fast.
template <bool kFull>
inline __m128i DrawAlphaBlend(__m128i s, __m128i d, __m128i o1) {
  const __m128i low = _mm_set1_epi16(0x00FF);
  const __m128i w = DrawAlphaWeight<kFull>(s, o1);
  const __m128i rest = _mm_xor_si128(w, low);
  const __m128i even =
      _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(s, low), w), _mm_mullo_epi16(_mm_and_si128(d, low), rest));
  const __m128i odd =
      _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(s, 8), w), _mm_mullo_epi16(_mm_srli_epi16(d, 8), rest));
  return _mm_or_si128(_mm_srli_epi16(even, 8), _mm_andnot_si128(low, odd));
}
#endif

template <bool kSkip, bool kFull>
struct DrawAlphaStep {
  __m128i o1;
  void operator()(const uint8_t* src, uint8_t* dst) const {
    const __m128i s = Load(src);
    const __m128i d = Load(dst);
    __m128i clear;
    if constexpr (kSkip) {
      const __m128i tByte = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
      clear = _mm_cmpeq_epi32(_mm_and_si128(s, tByte), tByte);  // pixels with T = 255
      if (_mm_movemask_epi8(clear) == 0xFFFF) return;           // a fully transparent run: the destination stays
    }
    const __m128i blended = DrawAlphaBlend<kFull>(s, d, o1);
    if constexpr (kSkip) {
      Store(dst, _mm_or_si128(_mm_and_si128(clear, d), _mm_andnot_si128(clear, blended)));
    } else {
      Store(dst, blended);
    }
  }
};

// Four pixels with T = 255, whatever the opacity: w = 0, so each byte becomes (dest * 255) >> 8, which is
// dest less one unless it is 0.
struct DrawAlphaClearStep {
  void operator()(const uint8_t*, uint8_t* dst) const { Store(dst, _mm_subs_epu8(Load(dst), _mm_set1_epi8(1))); }
};

inline bool AllClear(const uint8_t* src) {
  const __m128i tByte = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
  return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(Load(src), tByte), tByte)) == 0xFFFF;
}

// The whole steps of clear pixels at the row's start and, of the rest, at its end. A text layer is clear
// beside its ink; the search stops at the first step with ink, so a row without such runs pays for one step.
inline void ClearEnds(const uint8_t* src, int32_t pixels, int32_t& lead, int32_t& tail) {
  lead = 0;
  while (lead + 4 <= pixels && AllClear(src + lead * 4)) lead += 4;
  tail = 0;
  while (lead + tail + 4 <= pixels && AllClear(src + (pixels - tail - 4) * 4)) tail += 4;
}

template <bool kSkip>
void DrawAlphaRowT(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t opacity) {
  const __m128i o1 = _mm_set1_epi16(static_cast<int16_t>(static_cast<uint16_t>(opacity + 1)));
  int32_t lead = 0, tail = 0;
  if constexpr (!kSkip) {
    ClearEnds(src, pixels, lead, tail);
    if (lead > 0) ForRow(DrawAlphaClearStep{}, dst, dst, lead);
    if (tail > 0) ForRow(DrawAlphaClearStep{}, dst + (pixels - tail) * 4, dst + (pixels - tail) * 4, tail);
  }
  src += lead * 4;
  dst += lead * 4;
  pixels -= lead + tail;
  if (opacity == 255) {
    ForRow(DrawAlphaStep<kSkip, true>{o1}, src, dst, pixels);
  } else {
    ForRow(DrawAlphaStep<kSkip, false>{o1}, src, dst, pixels);
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

// Sixteen pixels a step: each coverage byte, inverted, goes to the top byte of its own 32-bit lane.
void CoverageRow(const uint8_t* coverage, uint8_t* dst, int32_t pixels, uint32_t colour) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i ones = _mm_set1_epi8(static_cast<char>(0xFF));
  const __m128i fill = _mm_set1_epi32(static_cast<int>(colour & 0x00FFFFFFu));
  int32_t i = 0;
  for (; i + 16 <= pixels; i += 16) {
    const __m128i t = _mm_xor_si128(Load(coverage + i), ones);
    const __m128i lo = _mm_unpacklo_epi8(zero, t);
    const __m128i hi = _mm_unpackhi_epi8(zero, t);
    uint8_t* out = dst + static_cast<size_t>(i) * 4;
    Store(out, _mm_or_si128(_mm_unpacklo_epi16(zero, lo), fill));
    Store(out + 16, _mm_or_si128(_mm_unpackhi_epi16(zero, lo), fill));
    Store(out + 32, _mm_or_si128(_mm_unpacklo_epi16(zero, hi), fill));
    Store(out + 48, _mm_or_si128(_mm_unpackhi_epi16(zero, hi), fill));
  }
  for (; i < pixels; ++i) {
    const uint32_t pixel = (colour & 0x00FFFFFFu) | uint32_t(255 - coverage[i]) << 24;
    std::memcpy(dst + static_cast<size_t>(i) * 4, &pixel, 4);
  }
}

}  // namespace

const RowKernels& Sse2Kernels() {
  static const RowKernels k{BlendConstRow, DrawAlphaRowT<false>, DrawAlphaRowT<true>,
                            InvertRow,     StretchRow,           CoverageRow};
  return k;
}

}  // namespace mokuren::kernels

#endif
