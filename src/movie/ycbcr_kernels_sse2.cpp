// SSE2 conversion (the x86-64 baseline): sixteen pixels per step, eight per 16-bit vector, following the
// reference's arithmetic lane for lane. A row's tail goes through small buffers and the same step.
#include "movie/ycbcr_kernels.h"

#if defined(__x86_64__) || defined(__i386__)

#include <emmintrin.h>

#include <cstring>

namespace mokuren::kernels {

namespace {

// Eight pixels from 16-bit Y', Cb and Cr lanes into 32 bytes of blue, green, red, 0.
inline void Convert8(__m128i y, __m128i cb, __m128i cr, uint8_t* dst) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i d = _mm_sub_epi16(cb, _mm_set1_epi16(128));
  const __m128i e = _mm_sub_epi16(cr, _mm_set1_epi16(128));
  const __m128i d7 = _mm_slli_epi16(d, 7), e7 = _mm_slli_epi16(e, 7);
  // The rounding 16 joins the luma term: every sum stays exact in 16 bits, so the order does not matter.
  const __m128i luma =
      _mm_add_epi16(_mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(y, _mm_set1_epi16(16)), 7), _mm_set1_epi16(19077)),
                    _mm_set1_epi16(16));
  const __m128i r = _mm_srai_epi16(_mm_add_epi16(luma, _mm_mulhi_epi16(e7, _mm_set1_epi16(26149))), 5);
  const __m128i g = _mm_srai_epi16(_mm_sub_epi16(_mm_sub_epi16(luma, _mm_mulhi_epi16(d7, _mm_set1_epi16(6419))),
                                                 _mm_mulhi_epi16(e7, _mm_set1_epi16(13320))),
                                   5);
  const __m128i b = _mm_srai_epi16(
      _mm_add_epi16(_mm_add_epi16(luma, _mm_slli_epi16(d, 6)), _mm_mulhi_epi16(d7, _mm_set1_epi16(282))), 5);
  // B0-7 G0-7 and R0-7 0-0, then byte interleaves down to B G R 0 per pixel.
  const __m128i bg = _mm_packus_epi16(b, g);
  const __m128i rz = _mm_packus_epi16(r, zero);
  const __m128i br = _mm_unpacklo_epi8(bg, rz);
  const __m128i gz = _mm_unpackhi_epi8(bg, rz);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_unpacklo_epi8(br, gz));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 16), _mm_unpackhi_epi8(br, gz));
}

// Sixteen chroma samples for sixteen pixels: eight doubled, or sixteen as they are.
template <int kShift>
inline __m128i Chroma16(const uint8_t* c) {
  if constexpr (kShift == 1) {
    const __m128i half = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(c));
    return _mm_unpacklo_epi8(half, half);
  } else {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(c));
  }
}

template <int kShift>
inline void Step16(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint8_t* dst) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i yv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y));
  const __m128i bv = Chroma16<kShift>(cb), rv = Chroma16<kShift>(cr);
  Convert8(_mm_unpacklo_epi8(yv, zero), _mm_unpacklo_epi8(bv, zero), _mm_unpacklo_epi8(rv, zero), dst);
  Convert8(_mm_unpackhi_epi8(yv, zero), _mm_unpackhi_epi8(bv, zero), _mm_unpackhi_epi8(rv, zero), dst + 32);
}

template <int kShift>
void Row(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint8_t* dst, int32_t pixels) {
  int32_t i = 0;
  for (; i + 16 <= pixels; i += 16) Step16<kShift>(y + i, cb + (i >> kShift), cr + (i >> kShift), dst + 4 * i);
  if (i < pixels) {
    const auto rest = static_cast<size_t>(pixels - i);
    const size_t chroma = ((rest - 1) >> kShift) + 1;
    alignas(16) uint8_t ys[16] = {}, bs[16] = {}, rs[16] = {}, out[64];
    std::memcpy(ys, y + i, rest);
    std::memcpy(bs, cb + (i >> kShift), chroma);
    std::memcpy(rs, cr + (i >> kShift), chroma);
    Step16<kShift>(ys, bs, rs, out);
    std::memcpy(dst + 4 * i, out, rest * 4);
  }
}

}  // namespace

void YCbCrRowSse2(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint8_t* dst, int32_t pixels,
                  int chromaShift) {
  chromaShift ? Row<1>(y, cb, cr, dst, pixels) : Row<0>(y, cb, cr, dst, pixels);
}

}  // namespace mokuren::kernels

#endif
