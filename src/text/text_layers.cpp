#include "text/text_layers.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mokuren {

namespace {

// out[i] = colour | (255 - cov[i]) << 24 for n pixels.
void CombineRow(uint8_t* out, const uint8_t* cov, int32_t n, uint32_t colour) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i ones = _mm_set1_epi8(static_cast<char>(0xFF));
  const __m128i fill = _mm_set1_epi32(static_cast<int>(colour));
  for (; i + 16 <= n; i += 16) {
    const __m128i t = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cov + i)), ones);
    // Each byte t moves to the top byte of its own 32-bit lane.
    const __m128i lo = _mm_unpacklo_epi8(zero, t);
    const __m128i hi = _mm_unpackhi_epi8(zero, t);
    __m128i* dst = reinterpret_cast<__m128i*>(out + static_cast<size_t>(i) * 4);
    _mm_storeu_si128(dst + 0, _mm_or_si128(_mm_unpacklo_epi16(zero, lo), fill));
    _mm_storeu_si128(dst + 1, _mm_or_si128(_mm_unpackhi_epi16(zero, lo), fill));
    _mm_storeu_si128(dst + 2, _mm_or_si128(_mm_unpacklo_epi16(zero, hi), fill));
    _mm_storeu_si128(dst + 3, _mm_or_si128(_mm_unpackhi_epi16(zero, hi), fill));
  }
#endif
  for (; i < n; ++i) {
    const uint32_t pixel = colour | uint32_t(255 - cov[i]) << 24;
    std::memcpy(out + static_cast<size_t>(i) * 4, &pixel, 4);
  }
}

void FillRow(uint8_t* out, int32_t n, uint32_t pixel) {
  for (int32_t i = 0; i < n; ++i) std::memcpy(out + static_cast<size_t>(i) * 4, &pixel, 4);
}

}  // namespace

void BuildTextLayer(const CoverageMask& mask, int32_t dx, int32_t dy, std::span<const Rgb> rowColours,
                    TABitmap& layer) {
  if (layer.Width() != mask.width || layer.Height() != mask.height) layer.SetSize32(mask.width, mask.height);
  if (!layer.IsValid()) return;
  // Columns whose source lies outside the mask have no ink.
  const int32_t start = std::clamp(dx, 0, mask.width);
  const int32_t end = std::clamp(mask.width + dx, start, mask.width);
  for (int32_t y = 0; y < mask.height; ++y) {
    const Rgb c = static_cast<size_t>(y) < rowColours.size() ? rowColours[static_cast<size_t>(y)] : Rgb{};
    const uint32_t colour = c.b | uint32_t{c.g} << 8 | uint32_t{c.r} << 16;
    const uint32_t blank = colour | 0xFF000000u;
    uint8_t* out = layer.ScanLine(y);
    const int32_t sy = y - dy;
    if (sy < 0 || sy >= mask.height) {
      FillRow(out, mask.width, blank);
      continue;
    }
    const uint8_t* cov = mask.a.data() + static_cast<size_t>(sy) * mask.width;
    FillRow(out, start, blank);
    CombineRow(out + static_cast<size_t>(start) * 4, cov + (start - dx), end - start, colour);
    FillRow(out + static_cast<size_t>(end) * 4, mask.width - end, blank);
  }
}

}  // namespace mokuren
