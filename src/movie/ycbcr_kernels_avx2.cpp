// AVX2 conversion: sixteen pixels per 16-bit vector. Used only when the processor reports AVX2; the code
// is compiled for it function by function, so the rest of the program stays baseline x86-64. Packing and
// unpacking work within each 128-bit half, so one cross-half permute at the end puts pixels in order.
#include "movie/ycbcr_kernels.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <cstring>

#define MOKUREN_AVX2 __attribute__((target("avx2")))

namespace mokuren::kernels {

namespace {

template <int kShift>
MOKUREN_AVX2 inline __m256i Chroma16(const uint8_t* c) {
  if constexpr (kShift == 1) {
    const __m128i half = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(c));
    return _mm256_cvtepu8_epi16(_mm_unpacklo_epi8(half, half));
  } else {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c)));
  }
}

template <int kShift>
MOKUREN_AVX2 inline void Step16(const uint8_t* yp, const uint8_t* cb, const uint8_t* cr, uint8_t* dst) {
  const __m256i y = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(yp)));
  const __m256i d = _mm256_sub_epi16(Chroma16<kShift>(cb), _mm256_set1_epi16(128));
  const __m256i e = _mm256_sub_epi16(Chroma16<kShift>(cr), _mm256_set1_epi16(128));
  const __m256i d7 = _mm256_slli_epi16(d, 7), e7 = _mm256_slli_epi16(e, 7);
  // The rounding 16 joins the luma term: every sum stays exact in 16 bits, so the order does not matter.
  const __m256i luma = _mm256_add_epi16(
      _mm256_mulhi_epi16(_mm256_slli_epi16(_mm256_sub_epi16(y, _mm256_set1_epi16(16)), 7), _mm256_set1_epi16(19077)),
      _mm256_set1_epi16(16));
  const __m256i r = _mm256_srai_epi16(_mm256_add_epi16(luma, _mm256_mulhi_epi16(e7, _mm256_set1_epi16(26149))), 5);
  const __m256i g =
      _mm256_srai_epi16(_mm256_sub_epi16(_mm256_sub_epi16(luma, _mm256_mulhi_epi16(d7, _mm256_set1_epi16(6419))),
                                         _mm256_mulhi_epi16(e7, _mm256_set1_epi16(13320))),
                        5);
  const __m256i b = _mm256_srai_epi16(
      _mm256_add_epi16(_mm256_add_epi16(luma, _mm256_slli_epi16(d, 6)), _mm256_mulhi_epi16(d7, _mm256_set1_epi16(282))),
      5);
  // Per half: B G bytes and R 0 bytes, interleaved down to B G R 0 for pixels 0-3 and 4-7 (low half)
  // and 8-11 and 12-15 (high half).
  const __m256i bg = _mm256_packus_epi16(b, g);
  const __m256i rz = _mm256_packus_epi16(r, _mm256_setzero_si256());
  const __m256i br = _mm256_unpacklo_epi8(bg, rz);
  const __m256i gz = _mm256_unpackhi_epi8(bg, rz);
  const __m256i lo = _mm256_unpacklo_epi8(br, gz);
  const __m256i hi = _mm256_unpackhi_epi8(br, gz);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm256_permute2x128_si256(lo, hi, 0x20));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 32), _mm256_permute2x128_si256(lo, hi, 0x31));
}

template <int kShift>
MOKUREN_AVX2 void Row(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint8_t* dst, int32_t pixels) {
  int32_t i = 0;
  for (; i + 16 <= pixels; i += 16) Step16<kShift>(y + i, cb + (i >> kShift), cr + (i >> kShift), dst + 4 * i);
  if (i < pixels) {
    const auto rest = static_cast<size_t>(pixels - i);
    const size_t chroma = ((rest - 1) >> kShift) + 1;
    alignas(32) uint8_t ys[16] = {}, bs[16] = {}, rs[16] = {}, out[64];
    std::memcpy(ys, y + i, rest);
    std::memcpy(bs, cb + (i >> kShift), chroma);
    std::memcpy(rs, cr + (i >> kShift), chroma);
    Step16<kShift>(ys, bs, rs, out);
    std::memcpy(dst + 4 * i, out, rest * 4);
  }
}

}  // namespace

MOKUREN_AVX2 void YCbCrRowAvx2(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint8_t* dst, int32_t pixels,
                               int chromaShift) {
  chromaShift ? Row<1>(y, cb, cr, dst, pixels) : Row<0>(y, cb, cr, dst, pixels);
}

}  // namespace mokuren::kernels

#endif
