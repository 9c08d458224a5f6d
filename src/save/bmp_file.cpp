#include "save/bmp_file.h"

#include <cstring>
#include <fstream>

namespace mokuren {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint16_t Get16(std::span<const uint8_t> in, size_t at) { return static_cast<uint16_t>(in[at] | in[at + 1] << 8); }

uint32_t Get32(std::span<const uint8_t> in, size_t at) {
  return static_cast<uint32_t>(in[at]) | static_cast<uint32_t>(in[at + 1]) << 8 |
         static_cast<uint32_t>(in[at + 2]) << 16 | static_cast<uint32_t>(in[at + 3]) << 24;
}

}  // namespace

std::vector<uint8_t> EncodeBmp32(const TABitmap& image) {
  const uint32_t width = static_cast<uint32_t>(image.IsValid() ? image.Width() : 0);
  const uint32_t height = static_cast<uint32_t>(image.IsValid() ? image.Height() : 0);
  const uint32_t pixelBytes = width * height * 4;
  const uint32_t offset = kFileHeaderSize + kInfoHeaderSize;
  std::vector<uint8_t> out(offset + pixelBytes, 0);
  // BITMAPFILEHEADER
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, offset + pixelBytes);
  Put32(out, 10, offset);
  // BITMAPINFOHEADER: a positive height means rows are stored bottom-up.
  Put32(out, 14, kInfoHeaderSize);
  Put32(out, 18, width);
  Put32(out, 22, height);
  Put16(out, 26, 1);   // planes
  Put16(out, 28, 32);  // bits per pixel
  Put32(out, 30, kBiRgb);
  Put32(out, 34, pixelBytes);
  Put32(out, 38, 3780);  // 96 dots per inch, in dots per metre
  Put32(out, 42, 3780);
  for (uint32_t row = 0; row < height; ++row)
    std::memcpy(out.data() + offset + static_cast<size_t>(row) * width * 4,
                image.ScanLine(static_cast<int32_t>(height - 1 - row)), static_cast<size_t>(width) * 4);
  return out;
}

bool DecodeBmp32(std::span<const uint8_t> file, TABitmap& image, std::string& error) {
  if (file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M') {
    error = "not a bitmap file";
    return false;
  }
  const uint32_t offset = Get32(file, 10);
  const uint32_t infoSize = Get32(file, 14);
  const int32_t width = static_cast<int32_t>(Get32(file, 18));
  const int32_t rawHeight = static_cast<int32_t>(Get32(file, 22));
  const uint16_t bits = Get16(file, 28);
  const uint32_t compression = Get32(file, 30);
  if (infoSize < kInfoHeaderSize || infoSize > file.size() - kFileHeaderSize) {
    error = "unknown bitmap header";
    return false;
  }
  if (bits != 32 || (compression != kBiRgb && compression != kBiBitfields)) {
    error = "not an uncompressed 32-bit bitmap";
    return false;
  }
  // A negative height marks top-down rows; INT32_MIN has no positive counterpart and is refused.
  if (width <= 0 || width > kBmpMaxSide || rawHeight == 0 || rawHeight < -kBmpMaxSide || rawHeight > kBmpMaxSide) {
    error = "bitmap size out of range";
    return false;
  }
  const bool topDown = rawHeight < 0;
  const int32_t height = topDown ? -rawHeight : rawHeight;
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  if (offset > file.size() || file.size() - offset < rowBytes * static_cast<size_t>(height)) {
    error = "bitmap file cut short";
    return false;
  }
  TABitmap decoded(width, height);
  for (int32_t row = 0; row < height; ++row)
    std::memcpy(decoded.ScanLine(topDown ? row : height - 1 - row), file.data() + offset + rowBytes * row, rowBytes);
  image = std::move(decoded);
  return true;
}

bool ReadBmpFile(const std::filesystem::path& path, TABitmap& image, std::string& error) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) {
    error = std::filesystem::exists(path, ec) ? "the file cannot be read" : "the file is missing";
    return false;
  }
  constexpr uintmax_t kLargest = kFileHeaderSize + 1024 + uintmax_t{kBmpMaxSide} * kBmpMaxSide * 4;
  if (size > kLargest) {
    error = "the file is too large for a bitmap";
    return false;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  std::ifstream in(path, std::ios::binary);
  if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
    error = "the file cannot be read";
    return false;
  }
  return DecodeBmp32(bytes, image, error);
}

}  // namespace mokuren
