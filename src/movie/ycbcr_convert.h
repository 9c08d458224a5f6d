// Converting a decoded Y'CbCr picture into the engine's 32-bit pixels, row by row, with the row kernels
// of the pixel routines' set in use (MOKUREN_SCALAR=1 keeps the reference; see ABitmapFilters32.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace mokuren {

// Three planes addressed from the coded frame's top-left sample, each with its own row step (which may
// be negative), and the rectangle of the frame that is the picture, in luma samples. Chroma is halved
// horizontally when chromaX is 1 and vertically when chromaY is 1 (4:2:0: 1 and 1, 4:2:2: 1 and 0,
// 4:4:4: 0 and 0); chroma sample (x >> chromaX, y >> chromaY) belongs to luma sample (x, y), so a
// picture at an odd offset starts in the middle of a chroma pair.
struct YCbCrPicture {
  const uint8_t* plane[3];  // Y', Cb, Cr
  ptrdiff_t stride[3];
  int32_t x, y, width, height;
  int chromaX, chromaY;
};

// Converts picture row `row` (0 = the picture's top) into `width` pixels at dst: blue, green, red, 0.
// The caller guarantees that the rectangle lies inside the planes.
void ConvertYCbCrRow(const YCbCrPicture& picture, int32_t row, uint8_t* dst);

}  // namespace mokuren
