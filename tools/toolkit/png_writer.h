// Generated pictures as PNG bytes, for test data and the demo's art; the engine's encoder writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mokuren::toolkit {

// rgba: width × height pixels, 4 bytes each (red, green, blue, alpha; alpha 255 = opaque). Throws
// std::invalid_argument when the pixels do not match the size.
std::string EncodePng(int width, int height, const std::vector<uint8_t>& rgba);
// A picture of one colour.
std::string SolidPng(int width, int height, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);
// A vertical gradient from the top colour to the bottom colour, opaque.
std::string GradientPng(int width, int height, uint32_t topRgb, uint32_t bottomRgb);

}  // namespace mokuren::toolkit
