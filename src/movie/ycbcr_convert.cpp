#include "movie/ycbcr_convert.h"

#include "graphics/ABitmapFilters32.h"
#include "movie/ycbcr_kernels.h"

namespace mokuren {

void ConvertYCbCrRow(const YCbCrPicture& p, int32_t row, uint8_t* dst) {
  const kernels::YCbCrRowKernel kernel = kernels::YCbCrRowFor(CurrentPixelKernels());
  const int32_t y = p.y + row;
  const uint8_t* luma = p.plane[0] + y * p.stride[0] + p.x;
  const ptrdiff_t chromaRow = y >> p.chromaY;
  const uint8_t* cb = p.plane[1] + chromaRow * p.stride[1] + (p.x >> p.chromaX);
  const uint8_t* cr = p.plane[2] + chromaRow * p.stride[2] + (p.x >> p.chromaX);
  int32_t width = p.width;
  // At an odd offset the first pixel has its chroma pair to itself; the kernel takes pairs from there on.
  if (p.chromaX && (p.x & 1) && width > 0) {
    kernel(luma, cb, cr, dst, 1, 0);
    ++luma, ++cb, ++cr, dst += 4, --width;
  }
  kernel(luma, cb, cr, dst, width, p.chromaX);
}

}  // namespace mokuren
