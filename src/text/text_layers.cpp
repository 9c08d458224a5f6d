#include "text/text_layers.h"

#include <algorithm>
#include <cstring>

#include "graphics/ABitmapFilters32.h"

namespace mokuren {

namespace {

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
    CoverageRow(layer, start, y, cov + (start - dx), end - start, colour);
    FillRow(out + static_cast<size_t>(end) * 4, mask.width - end, blank);
  }
}

}  // namespace mokuren
