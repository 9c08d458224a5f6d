#include "graphics/ABitmap.h"

namespace mokuren {

void TABitmap::SetSize32(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) {
    width_ = height_ = 0;
    bits_.clear();
    return;
  }
  width_ = width;
  height_ = height;
  bits_.assign(static_cast<size_t>(width) * height * 4, 0);
}

}  // namespace mokuren
