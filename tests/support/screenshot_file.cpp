#include "support/screenshot_file.h"

#include <gtest/gtest.h>

#include <span>
#include <string>

#include "graphics/png_decoder.h"
#include "support/engine_fixture.h"

namespace mokuren::testing {

TABitmap LoadScreenshot(const std::filesystem::path& file) {
  const std::string bytes = ReadFile(file);
  PngImage image;
  std::string error;
  EXPECT_TRUE(DecodePng(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), image, error))
      << file << ": " << error;
  return std::move(image.pixels);
}

}  // namespace mokuren::testing
