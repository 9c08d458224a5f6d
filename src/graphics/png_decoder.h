// Decoding of the PNG images stored in the archives into straight 8-bit blue, green, red and alpha.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "graphics/ABitmap.h"

namespace mokuren {

// Larger images are refused before any pixel memory is taken: a damaged or hostile header could
// otherwise ask for gigabytes.
inline constexpr uint32_t kMaxPngSide = 8192;
// The largest PNG file worth reading: an image of kMaxPngSide on each side in 16-bit colour and alpha,
// stored without compression (8 bytes a pixel, a filter byte a row, 5 bytes a 65,535-byte deflate block,
// 12 bytes a chunk of at least 8 KiB) stays below it. Larger data is refused unread.
inline constexpr uint64_t kMaxPngFileBytes = uint64_t{520} << 20;
static_assert(kMaxPngFileBytes > uint64_t{kMaxPngSide} * (1 + uint64_t{kMaxPngSide} * 8) * 65540 / 65535 +
                                     uint64_t{kMaxPngSide} * (1 + uint64_t{kMaxPngSide} * 8) / 8192 * 12 + 65536);

struct PngImage {
  // Byte 3 holds alpha here (255 = opaque), not the surfaces' transparency T; the loader turns it into a
  // 255 - alpha mask.
  TABitmap pixels;
  // The file has an alpha channel or a transparency chunk.
  bool hasTransparency = false;
};

// Decodes every PNG colour type, bit depth and interlacing: palette and grey expand to colour, a
// transparency chunk becomes alpha, 16-bit samples are scaled to 8 bits, and gamma chunks are ignored
// (the stored values are shown as they are). Returns false, with `error` saying why and `out` unchanged,
// for data that is not a PNG, is damaged or truncated, declares a side over kMaxPngSide or is larger than
// kMaxPngFileBytes.
bool DecodePng(std::span<const uint8_t> data, PngImage& out, std::string& error);

}  // namespace mokuren
