// Comparing a screenshot with its golden picture: a pixel is off when one of its colour channels differs
// by more than the tolerance (anti-aliased glyph edges differ by a few levels from one rasteriser to
// another; a wrong glyph changes hundreds of pixels by far more).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "graphics/ABitmap.h"

namespace mokuren::testrunner {

// Pixels off between two pictures of the same size, or -1 when the sizes differ. Byte 3 is not compared.
int64_t PixelsOff(const TABitmap& golden, const TABitmap& actual, int tolerance);

// Golden, actual and their difference side by side: in the difference, pixels off are red, smaller
// differences grey by their size, and equal pixels a dim copy of the golden picture, for orientation.
// Pictures of different sizes are placed top-left in panels as large as the larger of the two.
TABitmap DifferencePicture(const TABitmap& golden, const TABitmap& actual, int tolerance);

// A PNG file as a surface (byte 3 alpha). False, with `error` set, when it cannot be read or decoded.
bool ReadPicture(const std::filesystem::path& file, TABitmap& picture, std::string& error);

}  // namespace mokuren::testrunner
