#include "toolkit/png_writer.h"

#include <zlib.h>

#include <stdexcept>

namespace mokuren::toolkit {

namespace {

void PutU32BE(std::string& s, uint32_t v) {
  for (int i = 3; i >= 0; --i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void Chunk(std::string& png, const char* type, const std::string& data) {
  PutU32BE(png, static_cast<uint32_t>(data.size()));
  std::string body = std::string(type, 4) + data;
  png += body;
  PutU32BE(png, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

}  // namespace

std::string EncodePng(int width, int height, const std::vector<uint8_t>& rgba) {
  if (width <= 0 || height <= 0 || rgba.size() != static_cast<size_t>(width) * height * 4)
    throw std::invalid_argument("EncodePng: the pixel buffer does not match the size");
  std::string raw;
  raw.reserve(static_cast<size_t>(height) * (width * 4 + 1));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    raw.append(reinterpret_cast<const char*>(rgba.data()) + static_cast<size_t>(y) * width * 4, static_cast<size_t>(width) * 4);
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                static_cast<uLong>(raw.size()), 6) != Z_OK)
    throw std::runtime_error("EncodePng: zlib failed");
  packed.resize(packedSize);

  std::string png("\x89PNG\r\n\x1a\n", 8);
  std::string ihdr;
  PutU32BE(ihdr, static_cast<uint32_t>(width));
  PutU32BE(ihdr, static_cast<uint32_t>(height));
  ihdr += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter choice, no interlace
  Chunk(png, "IHDR", ihdr);
  Chunk(png, "IDAT", packed);
  Chunk(png, "IEND", "");
  return png;
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
