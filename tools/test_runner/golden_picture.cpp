#include "test_runner/golden_picture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "graphics/png_decoder.h"
#include "toolkit/archive_writer.h"

namespace mokuren::testrunner {

namespace {

int ChannelDifference(const uint8_t* a, const uint8_t* b) {
  return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

void Put(TABitmap& image, int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b) {
  uint8_t* p = image.ScanLine(y) + x * 4;
  p[0] = b, p[1] = g, p[2] = r, p[3] = 0;
}

}  // namespace

int64_t PixelsOff(const TABitmap& golden, const TABitmap& actual, int tolerance) {
  if (golden.Width() != actual.Width() || golden.Height() != actual.Height()) return -1;
  int64_t off = 0;
  for (int32_t y = 0; y < golden.Height(); ++y) {
    const uint8_t* g = golden.ScanLine(y);
    const uint8_t* a = actual.ScanLine(y);
    // Most rows of a passing test are equal byte for byte.
    if (std::memcmp(g, a, static_cast<size_t>(golden.Width()) * 4) == 0) continue;
    for (int32_t x = 0; x < golden.Width(); ++x)
      if (ChannelDifference(g + x * 4, a + x * 4) > tolerance) ++off;
  }
  return off;
}

TABitmap DifferencePicture(const TABitmap& golden, const TABitmap& actual, int tolerance) {
  const int32_t w = std::max(golden.Width(), actual.Width()), h = std::max(golden.Height(), actual.Height());
  TABitmap out(3 * w, h);
  auto copy = [&](const TABitmap& from, int32_t panel) {
    for (int32_t y = 0; y < from.Height(); ++y)
      for (int32_t x = 0; x < from.Width(); ++x) {
        const uint8_t* p = from.ScanLine(y) + x * 4;
        Put(out, panel * w + x, y, p[2], p[1], p[0]);
      }
  };
  copy(golden, 0);
  copy(actual, 1);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      const bool inBoth = x < golden.Width() && y < golden.Height() && x < actual.Width() && y < actual.Height();
      if (!inBoth) {
        Put(out, 2 * w + x, y, 255, 0, 0);
        continue;
      }
      const uint8_t* g = golden.ScanLine(y) + x * 4;
      const int d = ChannelDifference(g, actual.ScanLine(y) + x * 4);
      if (d > tolerance) {
        Put(out, 2 * w + x, y, 255, 0, 0);
      } else if (d > 0) {
        const auto level = static_cast<uint8_t>(std::min(255, 96 + d * 16));
        Put(out, 2 * w + x, y, level, level, level);
      } else {
        Put(out, 2 * w + x, y, g[2] / 4, g[1] / 4, g[0] / 4);
      }
    }
  }
  return out;
}

bool ReadPicture(const std::filesystem::path& file, TABitmap& picture, std::string& error) {
  std::string bytes;
  if (!toolkit::ReadWholeFile(file, bytes, error)) return false;
  PngImage png;
  if (!DecodePng(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), png, error)) {
    error = file.string() + ": " + error;
    return false;
  }
  picture = std::move(png.pixels);
  return true;
}

}  // namespace mokuren::testrunner
