#include "sound/mix_kernels.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#define MOKUREN_AVX2 __attribute__((target("avx2")))
#endif

namespace mokuren::mix {

namespace {

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

#if defined(__SSE2__)
inline __m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
inline void Store(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }

// Signed 32-bit lanes divided by 256, truncating toward zero as C++ division does: negative values are
// biased by 255 first. The lanes must stay 255 below the type's limit.
inline __m128i DivideBy256(__m128i v) {
  return _mm_srai_epi32(_mm_add_epi32(v, _mm_and_si128(_mm_srai_epi32(v, 31), _mm_set1_epi32(255))), 8);
}

// Signed 32-bit lanes added with saturation. Overflow happened when both addends have one sign and the
// wrapped sum the other; the limit then takes the addends' sign.
inline __m128i AddSaturating4(__m128i a, __m128i b) {
  const __m128i sum = _mm_add_epi32(a, b);
  const __m128i overflow = _mm_srai_epi32(_mm_and_si128(_mm_xor_si128(a, sum), _mm_xor_si128(b, sum)), 31);
  const __m128i limit = _mm_xor_si128(_mm_srai_epi32(a, 31), _mm_set1_epi32(std::numeric_limits<int32_t>::max()));
  return _mm_or_si128(_mm_and_si128(overflow, limit), _mm_andnot_si128(overflow, sum));
}
#endif

#if defined(__x86_64__)
// ScaleToInt32's loop for a gain below 2^15 on eight samples at a time: each sample widened to 32 bits
// and multiplied there (no product reaches 2^30). Returns the samples done; `added` is how many of them
// went into `mix`.
MOKUREN_AVX2 int32_t ScaleToInt32Avx2(const int16_t* in, int32_t* out, int32_t samples, int32_t gain, int32_t* mix,
                                      int32_t mixEnd, int32_t& added) {
  const __m256i g = _mm256_set1_epi32(gain), bias = _mm256_set1_epi32(255);
  const __m256i max = _mm256_set1_epi32(std::numeric_limits<int32_t>::max());
  int32_t i = 0;
  for (; i + 8 <= samples; i += 8) {
    const __m256i p = _mm256_mullo_epi32(_mm256_cvtepi16_epi32(Load(in + i)), g);
    const __m256i a = _mm256_srai_epi32(_mm256_add_epi32(p, _mm256_and_si256(_mm256_srai_epi32(p, 31), bias)), 8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), a);
    if (i + 8 <= mixEnd) {
      // Added with saturation, as AddSaturating4 does.
      const __m256i m = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mix + i));
      const __m256i sum = _mm256_add_epi32(m, a);
      const __m256i overflow =
          _mm256_srai_epi32(_mm256_and_si256(_mm256_xor_si256(m, sum), _mm256_xor_si256(a, sum)), 31);
      const __m256i limit = _mm256_xor_si256(_mm256_srai_epi32(m, 31), max);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(mix + i), _mm256_blendv_epi8(sum, limit, overflow));
      added = i + 8;
    }
  }
  return i;
}

bool HaveAvx2() {
  static const bool have = __builtin_cpu_supports("avx2");
  return have;
}
#endif

}  // namespace

void ScaleToInt32Reference(const int16_t* in, int32_t* out, int32_t samples, int64_t gain) {
  for (int32_t i = 0; i < samples; ++i) out[i] = Saturate(gain * in[i] / 256);
}

void AddSaturatingReference(int32_t* accumulator, const int32_t* add, int32_t samples) {
  for (int32_t i = 0; i < samples; ++i) accumulator[i] = Saturate(int64_t{accumulator[i]} + add[i]);
}

uint32_t PeakMagnitudeReference(const int32_t* samples, int32_t count) {
  int64_t peak = 0;
  for (int32_t i = 0; i < count; ++i) peak = std::max<int64_t>(peak, std::llabs(int64_t{samples[i]}));
  return static_cast<uint32_t>(peak);
}

void ToInt16Reference(const int32_t* in, int16_t* out, int32_t samples, int64_t master) {
  for (int32_t i = 0; i < samples; ++i)
    out[i] = static_cast<int16_t>(std::clamp<int64_t>(master * in[i] / 256, -32767, 32767));
}

void ScaleToInt32(const int16_t* in, int32_t* out, int32_t samples, int64_t gain, int32_t* mix, int32_t mixSamples) {
  const int32_t mixEnd = mix ? std::clamp(mixSamples, 0, samples) : 0;
  int32_t i = 0, added = 0;
#if defined(__SSE2__)
  // A gain below 2^15 fits a signed 16-bit lane: the low and high halves of each 32-bit product come from
  // two 16-bit multiplies, and no product (below 2^30) can need saturating.
#if defined(__x86_64__)
  if (gain >= 0 && gain < 32768 && HaveAvx2())
    i = ScaleToInt32Avx2(in, out, samples, static_cast<int32_t>(gain), mix, mixEnd, added);
#endif
  if (gain >= 0 && gain < 32768) {
    const __m128i g = _mm_set1_epi16(static_cast<int16_t>(gain));
    for (; i + 8 <= samples; i += 8) {
      const __m128i x = Load(in + i);
      const __m128i lo = _mm_mullo_epi16(x, g), hi = _mm_mulhi_epi16(x, g);
      const __m128i a = DivideBy256(_mm_unpacklo_epi16(lo, hi)), b = DivideBy256(_mm_unpackhi_epi16(lo, hi));
      Store(out + i, a);
      Store(out + i + 4, b);
      if (i + 8 <= mixEnd) {
        Store(mix + i, AddSaturating4(Load(mix + i), a));
        Store(mix + i + 4, AddSaturating4(Load(mix + i + 4), b));
        added = i + 8;
      }
    }
  }
#endif
  ScaleToInt32Reference(in + i, out + i, samples - i, gain);
  if (added < mixEnd) AddSaturating(mix + added, out + added, mixEnd - added);
}

void AddSaturating(int32_t* accumulator, const int32_t* add, int32_t samples) {
  int32_t i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= samples; i += 4) Store(accumulator + i, AddSaturating4(Load(accumulator + i), Load(add + i)));
#endif
  AddSaturatingReference(accumulator + i, add + i, samples - i);
}

uint32_t PeakMagnitude(const int32_t* samples, int32_t count) {
  int32_t i = 0;
  uint32_t peak = 0;
#if defined(__SSE2__)
  // Magnitudes as unsigned 32-bit values (the most negative sample's is 2^31), compared as signed after
  // flipping their top bit, since SSE2 has no unsigned comparison.
  const __m128i top = _mm_set1_epi32(std::numeric_limits<int32_t>::min());
  __m128i most = top;  // flipped 0
  for (; i + 4 <= count; i += 4) {
    const __m128i x = Load(samples + i);
    const __m128i sign = _mm_srai_epi32(x, 31);
    const __m128i flipped = _mm_xor_si128(_mm_sub_epi32(_mm_xor_si128(x, sign), sign), top);
    const __m128i larger = _mm_cmpgt_epi32(flipped, most);
    most = _mm_or_si128(_mm_and_si128(larger, flipped), _mm_andnot_si128(larger, most));
  }
  alignas(16) uint32_t lanes[4];
  Store(lanes, _mm_xor_si128(most, top));
  peak = std::max(std::max(lanes[0], lanes[1]), std::max(lanes[2], lanes[3]));
#endif
  return std::max(peak, PeakMagnitudeReference(samples + i, count - i));
}

void ToInt16(const int32_t* in, int16_t* out, int32_t samples, int64_t master) {
  int32_t i = 0;
#if defined(__SSE2__)
  // At unit master gain the samples are only clipped: packing saturates to -32768 … 32767, and -32768
  // is then raised to -32767.
  if (master == 256) {
    const __m128i floor = _mm_set1_epi16(-32767);
    for (; i + 8 <= samples; i += 8)
      Store(out + i, _mm_max_epi16(_mm_packs_epi32(Load(in + i), Load(in + i + 4)), floor));
  }
#endif
  ToInt16Reference(in + i, out + i, samples - i, master);
}

}  // namespace mokuren::mix
