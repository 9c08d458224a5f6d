// libFuzzer target: an image archive entry through the PNG decoder, then placed and drawn as the loader
// and the frame would (mask, blend with clipping, thumbnail scaling).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "graphics/ABitmapFilters32.h"
#include "graphics/png_decoder.h"

using namespace mokuren;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PngImage image;
  std::string error;
  if (!DecodePng(std::span(data, size), image, error)) return 0;
  TABitmap& pixels = image.pixels;
  for (size_t i = 3; i < pixels.ByteSize(); i += 4) pixels.Bits()[i] = static_cast<uint8_t>(255 - pixels.Bits()[i]);
  // Positions from the data, so clipping is reached on every side.
  const int32_t x = size > 0 ? static_cast<int8_t>(data[size - 1]) : 0;
  const int32_t y = size > 1 ? static_cast<int8_t>(data[size - 2]) : 0;
  TABitmap frame(96, 72);
  DrawAlphaSkip(pixels, frame, x, y, pixels.Width(), pixels.Height(), 0, 0, 255);
  BlendConst(pixels, frame, -x, -y, pixels.Width(), pixels.Height(), 0, 0, 127);
  TABitmap thumb(16, 12);
  StretchBilinear(pixels, thumb, 0, 0, 16, 12, 0, 0, pixels.Width(), pixels.Height());
  return 0;
}
