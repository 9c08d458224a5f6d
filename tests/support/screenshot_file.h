// Screenshots written by the program (PNG), read back as surfaces for the tests to look at.
#pragma once

#include <filesystem>

#include "graphics/ABitmap.h"

namespace mokuren::testing {

// The picture of a PNG file; a test failure, and an empty surface, when it does not decode.
TABitmap LoadScreenshot(const std::filesystem::path& file);

}  // namespace mokuren::testing
