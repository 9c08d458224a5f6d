// Windows bitmap files of 32 bits per pixel: the format of the save thumbnails. Written with the
// 14-byte file header and the 40-byte information header, uncompressed, rows bottom-up, each pixel the
// surface's four bytes as they are (blue, green, red, transparency).
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "graphics/ABitmap.h"

namespace mokuren {

// The largest side read back; thumbnails are 128 x 96, so anything far beyond is not ours.
inline constexpr int32_t kBmpMaxSide = 4096;

std::vector<uint8_t> EncodeBmp32(const TABitmap& image);

// Reads a 32-bit uncompressed bitmap (bottom-up or top-down rows, information header of 40 bytes or
// longer). Anything else, or a file shorter than its headers say, gives false with `error` set and
// leaves `image` untouched.
bool DecodeBmp32(std::span<const uint8_t> file, TABitmap& image, std::string& error);

// Reads a bitmap file as DecodeBmp32 does. A missing or unreadable file, or one far larger than the
// largest bitmap read back, gives false with `error` saying which.
bool ReadBmpFile(const std::filesystem::path& path, TABitmap& image, std::string& error);

}  // namespace mokuren
