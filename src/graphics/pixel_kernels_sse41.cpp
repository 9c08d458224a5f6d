// SSE4.1 row kernels for the two blends: four pixels per step, with the byte multiply-add (pmaddubsw,
// SSSE3), the byte shuffle (pshufb, SSSE3) and the byte select (pblendvb, SSE4.1) that the AVX2 set is built
// on, at half its width. Processors without AVX2 but with these (low-power laptops, older desktops) would
// otherwise take the SSE2 blends, which need four 16-bit multiplies per eight bytes where these need one.
// The arithmetic, and why it gives the reference's bytes exactly, is that of pixel_kernels_avx2.cpp.
// Compiled function by function for SSE4.1, as the AVX2 set is for AVX2; the other rows are the SSE2 set's.
#include "graphics/pixel_kernels.h"

#if defined(MOKUREN_X86_KERNELS)

#include <smmintrin.h>

#include <algorithm>
#include <cstring>

#define MOKUREN_SSE41 __attribute__((target("ssse3,sse4.1")))

namespace mokuren::kernels {

namespace {

MOKUREN_SSE41 inline __m128i Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
MOKUREN_SSE41 inline void Store(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Fewer than four pixels: through a buffer, pixel by pixel, and the same vector step.
template <typename Step>
MOKUREN_SSE41 inline void Partial(const Step& step, const uint8_t* src, uint8_t* dst, int32_t pixels) {
  alignas(16) uint8_t s[16] = {}, d[16] = {};
  std::memcpy(s, src, static_cast<size_t>(pixels) * 4);
  std::memcpy(d, dst, static_cast<size_t>(pixels) * 4);
  step(s, d);
  std::memcpy(dst, d, static_cast<size_t>(pixels) * 4);
}

// Runs a step of four pixels along a row, two steps a turn, the whole steps storing to 16-byte aligned
// addresses.
template <typename Step>
MOKUREN_SSE41 inline void ForRow(const Step& step, const uint8_t* src, uint8_t* dst, int32_t pixels) {
  const auto address = reinterpret_cast<uintptr_t>(dst);
  const int32_t head =
      (address & 3) ? 0 : std::min<int32_t>(pixels, static_cast<int32_t>((16 - (address & 15)) & 15) / 4);
  if (head > 0) Partial(step, src, dst, head);
  int32_t i = head;
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

// a from 1 to 255 except 128; kSourceBase for a > 128.
template <bool kSourceBase>
struct BlendConstStep {
  __m128i weights;  // bytes a, 256 - a
  MOKUREN_SSE41 void operator()(const uint8_t* src, uint8_t* dst) const {
    const __m128i s = Load(src), d = Load(dst);
    const __m128i lo = _mm_maddubs_epi16(_mm_unpacklo_epi8(s, d), weights);
    const __m128i hi = _mm_maddubs_epi16(_mm_unpackhi_epi8(s, d), weights);
    const __m128i high = _mm_packs_epi16(_mm_srai_epi16(lo, 8), _mm_srai_epi16(hi, 8));
    Store(dst, _mm_add_epi8(kSourceBase ? s : d, high));
  }
};

MOKUREN_SSE41 void BlendConstRow(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t a) {
  // 0, 128 and 256 up have steps without a multiply-add: the SSE2 set's serve.
  if (a == 0 || a == 128 || a > 255) {
    Sse2Kernels().blendConst(src, dst, pixels, a);
    return;
  }
  const auto inverse = static_cast<uint16_t>(256 - a);
  const __m128i weights = _mm_set1_epi16(static_cast<int16_t>(a | inverse << 8));
  if (a < 128) {
    ForRow(BlendConstStep<false>{weights}, src, dst, pixels);
  } else {
    ForRow(BlendConstStep<true>{weights}, src, dst, pixels);
  }
}

// ---- Per-pixel blend --------------------------------------------------------------------------------

MOKUREN_SSE41 inline __m128i SelectHighBytes(__m128i low, __m128i high) {
  return _mm_blendv_epi8(low, high, _mm_set1_epi16(static_cast<int16_t>(0xFF00)));
}

// Four pixels, paired by position as in the AVX2 set; kFull is opacity 255.
template <bool kFull>
MOKUREN_SSE41 inline __m128i DrawAlpha4(__m128i s, __m128i d, __m128i o1) {
  __m128i weights;
  if constexpr (kFull) {
    const __m128i spreadT = _mm_setr_epi8(3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15);
    weights = _mm_xor_si128(_mm_shuffle_epi8(s, spreadT), _mm_set1_epi16(0x00FF));
  } else {
    const __m128i spreadT = _mm_setr_epi8(3, -128, 3, -128, 7, -128, 7, -128, 11, -128, 11, -128, 15, -128, 15, -128);
    const __m128i inverseT = _mm_xor_si128(_mm_shuffle_epi8(s, spreadT), _mm_set1_epi16(0x00FF));
    const __m128i w = _mm_srli_epi16(_mm_mullo_epi16(inverseT, o1), 8);
    weights = _mm_xor_si128(_mm_mullo_epi16(w, _mm_set1_epi16(257)), _mm_set1_epi16(static_cast<int16_t>(0xFF00)));
  }
  const __m128i even = SelectHighBytes(s, _mm_slli_epi16(d, 8));
  const __m128i odd = SelectHighBytes(_mm_srli_epi16(s, 8), d);
  const __m128i e = _mm_maddubs_epi16(even, weights);
  const __m128i o = _mm_maddubs_epi16(odd, weights);
  const __m128i high = SelectHighBytes(_mm_srli_epi16(e, 8), o);
  // The top bit of each pixel is that of ~w: set where w < 128, whose base is dest.
  const __m128i base =
      _mm_castps_si128(_mm_blendv_ps(_mm_castsi128_ps(s), _mm_castsi128_ps(d), _mm_castsi128_ps(weights)));
  return _mm_add_epi8(base, high);
}

template <bool kSkip, bool kFull>
struct DrawAlphaStep {
  __m128i o1;
  MOKUREN_SSE41 void operator()(const uint8_t* src, uint8_t* dst) const {
    const __m128i s = Load(src);
    if constexpr (kSkip) {
      const __m128i tByte = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
      const __m128i clear = _mm_cmpeq_epi32(_mm_and_si128(s, tByte), tByte);  // pixels with T = 255
      const int bits = _mm_movemask_epi8(clear);
      if (bits == 0xFFFF) return;  // a fully transparent run: the destination stays as it is
      const __m128i d = Load(dst);
      const __m128i blended = DrawAlpha4<kFull>(s, d, o1);
      Store(dst, bits == 0 ? blended : _mm_blendv_epi8(blended, d, clear));
    } else {
      Store(dst, DrawAlpha4<kFull>(s, Load(dst), o1));
    }
  }
};

// Four pixels with T = 255, whatever the opacity: w = 0, so each byte becomes (dest * 255) >> 8, which is
// dest less one unless it is 0.
struct DrawAlphaClearStep {
  MOKUREN_SSE41 void operator()(const uint8_t*, uint8_t* dst) const {
    Store(dst, _mm_subs_epu8(Load(dst), _mm_set1_epi8(1)));
  }
};

MOKUREN_SSE41 inline bool AllClear(const uint8_t* src) {
  const __m128i tByte = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
  return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(Load(src), tByte), tByte)) == 0xFFFF;
}

template <bool kSkip>
MOKUREN_SSE41 void DrawAlphaRowT(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t opacity) {
  const __m128i o1 = _mm_set1_epi16(static_cast<int16_t>(static_cast<uint16_t>(opacity + 1)));
  if constexpr (!kSkip) {
    // Whole steps of clear pixels at the row's ends (a text layer beside its ink) take no multiply. The
    // search stops at the first step with ink.
    int32_t lead = 0, tail = 0;
    while (lead + 4 <= pixels && AllClear(src + lead * 4)) lead += 4;
    while (lead + tail + 4 <= pixels && AllClear(src + (pixels - tail - 4) * 4)) tail += 4;
    if (lead > 0) ForRow(DrawAlphaClearStep{}, dst, dst, lead);
    if (tail > 0) ForRow(DrawAlphaClearStep{}, dst + (pixels - tail) * 4, dst + (pixels - tail) * 4, tail);
    src += lead * 4;
    dst += lead * 4;
    pixels -= lead + tail;
  }
  if (opacity == 255) {
    ForRow(DrawAlphaStep<kSkip, true>{o1}, src, dst, pixels);
  } else {
    ForRow(DrawAlphaStep<kSkip, false>{o1}, src, dst, pixels);
  }
}

}  // namespace

const RowKernels& Sse41Kernels() {
  static const RowKernels k{BlendConstRow,        DrawAlphaRowT<false>,     DrawAlphaRowT<true>,
                            Sse2Kernels().invert, Sse2Kernels().stretchRow, Sse2Kernels().coverageRow};
  return k;
}

}  // namespace mokuren::kernels

#endif
