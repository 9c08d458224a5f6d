// AVX2 row kernels: eight pixels per step. Used only when the processor reports AVX2; the code is
// compiled for it function by function, so the rest of the program stays baseline x86-64.
// 256-bit unpack and pack work within each 128-bit half, so widening and narrowing keep pixel order.
//
// The two blends run at the speed of memory on the processors we measure; what limits them there is the
// number of multiplies and shuffles per step, so they use vpmaddubsw, which multiplies byte pairs and adds
// each pair in one instruction, on the identity below.
//
// For 8-bit weights p and q read as signed bytes (sext) and a base byte b, whenever
//   src * P + dest * Q = 256 * b + src * sext(p) + dest * sext(q)       (the true, unsigned weights P, Q)
// the result (src * P + dest * Q) >> 8 is b + ((src * sext(p) + dest * sext(q)) >> 8), and the second
// sum fits a signed 16-bit lane: its high byte, added to b with byte wrap-around, is the exact result.
//  - Constant blend, P = a, Q = 256 - a, bytes p = a, q = 256 - a: for a < 128, b = dest (q reads as -a);
//    for a > 128, b = src (p reads as a - 256). a = 128 is the floor of the average; a >= 256 wraps in
//    16 bits and keeps the plain widening code.
//  - Per-pixel blend, P = w, Q = 255 - w, bytes p = w, q = ~w: for w < 128, b = dest (q reads as -w - 1,
//    and src * w + dest * (255 - w) = 256 * dest + src * w - dest * (w + 1)); for w >= 128, b = src.
#include "graphics/pixel_kernels.h"

#if defined(MOKUREN_X86_KERNELS)

#include <immintrin.h>

#include <algorithm>
#include <cstring>

#define MOKUREN_AVX2 __attribute__((target("avx2")))

namespace mokuren::kernels {

namespace {

MOKUREN_AVX2 inline __m256i Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
MOKUREN_AVX2 inline void Store(uint8_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

// Fewer than eight pixels: loaded and stored by masked moves, which touch only the pixels asked for, and
// the same vector step between them, so there is no second scalar path.
template <typename Step>
MOKUREN_AVX2 inline void Partial(const Step& step, const uint8_t* src, uint8_t* dst, int32_t pixels) {
  const __m256i mask = _mm256_cmpgt_epi32(_mm256_set1_epi32(pixels), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  alignas(32) uint8_t s[32], d[32];
  Store(s, _mm256_maskload_epi32(reinterpret_cast<const int*>(src), mask));
  Store(d, _mm256_maskload_epi32(reinterpret_cast<const int*>(dst), mask));
  step(s, d);
  _mm256_maskstore_epi32(reinterpret_cast<int*>(dst), mask, Load(d));
}

// Runs a step of eight pixels along a row. The whole steps store to 32-byte aligned addresses (a store
// across two cache lines costs nearly twice as much, and surfaces start 16 bytes into a line); the
// pixels before and after them go through Partial.
template <typename Step>
MOKUREN_AVX2 inline void ForRow(const Step& step, const uint8_t* src, uint8_t* dst, int32_t pixels) {
  const auto address = reinterpret_cast<uintptr_t>(dst);
  const int32_t head =
      (address & 3) ? 0 : std::min<int32_t>(pixels, static_cast<int32_t>((32 - (address & 31)) & 31) / 4);
  if (head > 0) Partial(step, src, dst, head);
  int32_t i = head;
  // Two steps a turn: with one, how fast the loop runs depends on where its code happens to lie.
  for (; i + 16 <= pixels; i += 16) {
    step(src + i * 4, dst + i * 4);
    step(src + i * 4 + 32, dst + i * 4 + 32);
  }
  if (i + 8 <= pixels) {
    step(src + i * 4, dst + i * 4);
    i += 8;
  }
  if (i < pixels) Partial(step, src + i * 4, dst + i * 4, pixels - i);
}

// ---- Constant blend ---------------------------------------------------------------------------------

// a from 1 to 255 except 128; kSourceBase for a > 128 (see the identity at the top).
template <bool kSourceBase>
struct BlendConstStep {
  __m256i weights;  // bytes a, 256 - a
  MOKUREN_AVX2 void operator()(const uint8_t* src, uint8_t* dst) const {
    const __m256i s = Load(src), d = Load(dst);
    const __m256i lo = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(s, d), weights);
    const __m256i hi = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(s, d), weights);
    const __m256i high = _mm256_packs_epi16(_mm256_srai_epi16(lo, 8), _mm256_srai_epi16(hi, 8));
    Store(dst, _mm256_add_epi8(kSourceBase ? s : d, high));
  }
};

// a = 128: (src + dest) >> 1, the rounded-up average less the bit it rounded up.
struct BlendHalfStep {
  MOKUREN_AVX2 void operator()(const uint8_t* src, uint8_t* dst) const {
    const __m256i s = Load(src), d = Load(dst);
    const __m256i odd = _mm256_and_si256(_mm256_xor_si256(s, d), _mm256_set1_epi8(1));
    Store(dst, _mm256_sub_epi8(_mm256_avg_epu8(s, d), odd));
  }
};

// a of 256 and more: the sums wrap in 16 bits as the reference's do.
struct BlendConstWideStep {
  __m256i a, inverse;
  MOKUREN_AVX2 void operator()(const uint8_t* src, uint8_t* dst) const {
    const __m256i s = Load(src), d = Load(dst), zero = _mm256_setzero_si256();
    const __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), a),
                                        _mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), inverse));
    const __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), a),
                                        _mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), inverse));
    Store(dst, _mm256_packus_epi16(_mm256_srli_epi16(lo, 8), _mm256_srli_epi16(hi, 8)));
  }
};

MOKUREN_AVX2 void BlendConstRow(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t a) {
  const auto inverse = static_cast<uint16_t>(256 - a);
  if (a == 0) return;  // dest * 256 >> 8
  if (a > 255) {
    ForRow(BlendConstWideStep{_mm256_set1_epi16(static_cast<int16_t>(a)),
                              _mm256_set1_epi16(static_cast<int16_t>(inverse))},
           src, dst, pixels);
    return;
  }
  if (a == 128) {
    ForRow(BlendHalfStep{}, src, dst, pixels);
    return;
  }
  const __m256i weights = _mm256_set1_epi16(static_cast<int16_t>(a | inverse << 8));
  if (a < 128) {
    ForRow(BlendConstStep<false>{weights}, src, dst, pixels);
  } else {
    ForRow(BlendConstStep<true>{weights}, src, dst, pixels);
  }
}

// ---- Per-pixel blend --------------------------------------------------------------------------------

MOKUREN_AVX2 inline __m256i SelectHighBytes(__m256i low, __m256i high) {
  return _mm256_blendv_epi8(low, high, _mm256_set1_epi16(static_cast<int16_t>(0xFF00)));
}

// Eight pixels. The bytes are paired by position rather than unpacked: the even bytes of src and dest
// (blue, red) and the odd ones (green, T) form two vectors of (src, dest) pairs, so one weight vector
// (w, ~w, w, ~w per pixel) serves both and the results fall back into place without a pack.
// kFull is opacity 255, where w = 255 - T needs no multiply.
template <bool kFull>
MOKUREN_AVX2 inline __m256i DrawAlpha8(__m256i s, __m256i d, __m256i o1) {
  __m256i weights;
  if constexpr (kFull) {
    const __m256i spreadT = _mm256_setr_epi8(3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15, 3, 3, 3, 3, 7, 7,
                                             7, 7, 11, 11, 11, 11, 15, 15, 15, 15);
    weights = _mm256_xor_si256(_mm256_shuffle_epi8(s, spreadT), _mm256_set1_epi16(0x00FF));
  } else {
    // 255 - T in both 16-bit lanes of the pixel; w = ((255 - T) * (opacity + 1)) >> 8 wraps as the reference.
    const __m256i spreadT =
        _mm256_setr_epi8(3, -128, 3, -128, 7, -128, 7, -128, 11, -128, 11, -128, 15, -128, 15, -128, 3, -128, 3, -128,
                         7, -128, 7, -128, 11, -128, 11, -128, 15, -128, 15, -128);
    const __m256i inverseT = _mm256_xor_si256(_mm256_shuffle_epi8(s, spreadT), _mm256_set1_epi16(0x00FF));
    const __m256i w = _mm256_srli_epi16(_mm256_mullo_epi16(inverseT, o1), 8);
    weights = _mm256_xor_si256(_mm256_mullo_epi16(w, _mm256_set1_epi16(257)),
                               _mm256_set1_epi16(static_cast<int16_t>(0xFF00)));
  }
  const __m256i even = SelectHighBytes(s, _mm256_slli_epi16(d, 8));
  const __m256i odd = SelectHighBytes(_mm256_srli_epi16(s, 8), d);
  const __m256i e = _mm256_maddubs_epi16(even, weights);
  const __m256i o = _mm256_maddubs_epi16(odd, weights);
  const __m256i high = SelectHighBytes(_mm256_srli_epi16(e, 8), o);
  // The top bit of each pixel is that of ~w: set where w < 128, whose base is dest.
  const __m256i base = _mm256_castps_si256(
      _mm256_blendv_ps(_mm256_castsi256_ps(s), _mm256_castsi256_ps(d), _mm256_castsi256_ps(weights)));
  return _mm256_add_epi8(base, high);
}

template <bool kSkip, bool kFull>
struct DrawAlphaStep {
  __m256i o1;
  MOKUREN_AVX2 void operator()(const uint8_t* src, uint8_t* dst) const {
    const __m256i s = Load(src);
    if constexpr (kSkip) {
      const __m256i tByte = _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u));
      const __m256i clear = _mm256_cmpeq_epi32(_mm256_and_si256(s, tByte), tByte);  // pixels with T = 255
      const int bits = _mm256_movemask_epi8(clear);
      if (bits == -1) return;  // a fully transparent run: the destination stays as it is
      const __m256i d = Load(dst);
      const __m256i blended = DrawAlpha8<kFull>(s, d, o1);
      Store(dst, bits == 0 ? blended : _mm256_blendv_epi8(blended, d, clear));
    } else {
      Store(dst, DrawAlpha8<kFull>(s, Load(dst), o1));
    }
  }
};

// Eight pixels with T = 255, whatever the opacity: w = 0, so each byte becomes (dest * 255) >> 8, which is
// dest less one unless it is 0.
struct DrawAlphaClearStep {
  MOKUREN_AVX2 void operator()(const uint8_t*, uint8_t* dst) const {
    Store(dst, _mm256_subs_epu8(Load(dst), _mm256_set1_epi8(1)));
  }
};

MOKUREN_AVX2 inline bool AllClear(const uint8_t* src) {
  const __m256i tByte = _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u));
  return _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(Load(src), tByte), tByte)) == -1;
}

// The whole steps of clear pixels at the row's start and, of the rest, at its end. A text layer is clear
// beside its ink; the search stops at the first step with ink, so a row without such runs pays for one step.
MOKUREN_AVX2 inline void ClearEnds(const uint8_t* src, int32_t pixels, int32_t& lead, int32_t& tail) {
  lead = 0;
  while (lead + 8 <= pixels && AllClear(src + lead * 4)) lead += 8;
  tail = 0;
  while (lead + tail + 8 <= pixels && AllClear(src + (pixels - tail - 8) * 4)) tail += 8;
}

template <bool kSkip>
MOKUREN_AVX2 void DrawAlphaRowT(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t opacity) {
  const __m256i o1 = _mm256_set1_epi16(static_cast<int16_t>(static_cast<uint16_t>(opacity + 1)));
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
  // Scaling is bound by its scattered reads and the coverage rows by their stores: the SSE2 rows serve here
  // as well.
  static const RowKernels k{BlendConstRow, DrawAlphaRowT<false>,     DrawAlphaRowT<true>,
                            InvertRow,     Sse2Kernels().stretchRow, Sse2Kernels().coverageRow};
  return k;
}

}  // namespace mokuren::kernels

#endif
