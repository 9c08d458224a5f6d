// TABitmap: a 32-bit surface. Each pixel is four bytes: blue, green, red and a transparency byte
// (0 = opaque, 255 = fully transparent). Rows are stored top-down without padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mokuren {

class TABitmap {
 public:
  TABitmap() = default;
  TABitmap(int32_t width, int32_t height) { SetSize32(width, height); }

  // Resizes to width x height, all bytes 0 (black, opaque). Negative sizes give an empty surface.
  void SetSize32(int32_t width, int32_t height);
  bool IsValid() const { return width_ > 0 && height_ > 0; }

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  uint8_t* ScanLine(int32_t y) { return bits_.data() + static_cast<size_t>(y) * width_ * 4; }
  const uint8_t* ScanLine(int32_t y) const { return bits_.data() + static_cast<size_t>(y) * width_ * 4; }
  uint8_t* Bits() { return bits_.data(); }
  const uint8_t* Bits() const { return bits_.data(); }
  size_t ByteSize() const { return bits_.size(); }

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<uint8_t> bits_;
};

}  // namespace mokuren
