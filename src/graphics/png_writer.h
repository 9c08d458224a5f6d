// Encoding of surfaces as PNG files: screenshots, and the pictures the demo builder puts in archives.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/ABitmap.h"

namespace mokuren {

enum class PngAlpha : uint8_t {
  None,              // 8-bit RGB; byte 3 of the surface is ignored
  FromTransparency,  // 8-bit RGBA with alpha = 255 - T (byte 3)
};

// Appends the PNG encoding of `image` to `out`. False, with `error` set, for an invalid surface or an
// encoder failure.
bool EncodePng(const TABitmap& image, PngAlpha alpha, std::vector<uint8_t>& out, std::string& error);
// Appends the PNG encoding of 8-bit RGBA pixels (red, green, blue, alpha; alpha 255 = opaque), `width`
// × `height` of them in rows, to `out`: the tools' generated pictures. False, with `error` set, for a
// size that does not match the pixels or an encoder failure.
bool EncodePngRgba(int32_t width, int32_t height, const std::vector<uint8_t>& rgba, std::vector<uint8_t>& out,
                   std::string& error);
// Writes `image` as a PNG file, replacing any file of that name, without waiting on a named pipe that
// nothing reads (OutputFile).
bool WritePngFile(const std::filesystem::path& path, const TABitmap& image, PngAlpha alpha, std::string& error);

}  // namespace mokuren
