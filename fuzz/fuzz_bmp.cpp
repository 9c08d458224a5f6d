// Thumbnail files come from the disk and may be anything: the bitmap reader must refuse what it cannot
// read without reading outside the buffer, and what it accepts must survive a write and a second read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "save/bmp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  mokuren::TABitmap image;
  std::string error;
  if (!mokuren::DecodeBmp32({data, size}, image, error)) return 0;
  const auto again = mokuren::EncodeBmp32(image);
  mokuren::TABitmap back;
  if (!mokuren::DecodeBmp32({again.data(), again.size()}, back, error) || !(back == image)) std::abort();
  return 0;
}
