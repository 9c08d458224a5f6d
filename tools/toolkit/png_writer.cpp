#include "toolkit/png_writer.h"

#include <stdexcept>

#include "graphics/png_writer.h"

namespace mokuren::toolkit {

std::string EncodePng(int width, int height, const std::vector<uint8_t>& rgba) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!EncodePngRgba(width, height, rgba, bytes, error)) throw std::invalid_argument("EncodePng: " + error);
  return std::string(bytes.begin(), bytes.end());
}

std::string SolidPng(int width, int height, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  std::vector<uint8_t> px(static_cast<size_t>(width) * height * 4);
  for (size_t i = 0; i < px.size(); i += 4) {
    px[i] = r;
    px[i + 1] = g;
    px[i + 2] = b;
    px[i + 3] = a;
  }
  return EncodePng(width, height, px);
}

std::string GradientPng(int width, int height, uint32_t topRgb, uint32_t bottomRgb) {
  std::vector<uint8_t> px(static_cast<size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    for (int c = 0; c < 3; ++c) {
      int top = (topRgb >> (16 - 8 * c)) & 0xFF, bottom = (bottomRgb >> (16 - 8 * c)) & 0xFF;
      int v = height > 1 ? top + (bottom - top) * y / (height - 1) : top;
      for (int x = 0; x < width; ++x) px[(static_cast<size_t>(y) * width + x) * 4 + c] = static_cast<uint8_t>(v);
    }
    for (int x = 0; x < width; ++x) px[(static_cast<size_t>(y) * width + x) * 4 + 3] = 255;
  }
  return EncodePng(width, height, px);
}

}  // namespace mokuren::toolkit
