// PNG decoding: every colour type gives the right colour and alpha; damaged files are refused cleanly.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/png_decoder.h"
#include "graphics/png_writer.h"

namespace mokuren {
namespace {

// What to write: rows already packed as the PNG stores them for the colour type and depth.
struct PngSpec {
  uint32_t width = 1, height = 1;
  int colourType = PNG_COLOR_TYPE_RGB;
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<uint8_t> rows;          // height * rowbytes
  std::vector<png_color> palette;     // palette images
  std::vector<uint8_t> paletteAlpha;  // tRNS of a palette image
  bool colourKey = false;             // tRNS of a grey or RGB image
  png_color_16 key{};
};

void AppendBytes(png_structp png, png_bytep data, size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

// libpng's own writer makes the files, so the decoder is tested against an independent encoder.
std::vector<uint8_t> WritePng(const PngSpec& wanted) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rowPointers(wanted.height);
  const size_t rowBytes = wanted.rows.size() / wanted.height;
  for (uint32_t y = 0; y < wanted.height; ++y) rowPointers[y] = const_cast<uint8_t*>(wanted.rows.data()) + y * rowBytes;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "libpng could not write the test image";
    return {};
  }
  png_set_write_fn(png, &out, AppendBytes, nullptr);
  png_set_IHDR(png, info, wanted.width, wanted.height, wanted.bitDepth, wanted.colourType,
               wanted.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!wanted.palette.empty()) png_set_PLTE(png, info, wanted.palette.data(), static_cast<int>(wanted.palette.size()));
  if (!wanted.paletteAlpha.empty())
    png_set_tRNS(png, info, wanted.paletteAlpha.data(), static_cast<int>(wanted.paletteAlpha.size()), nullptr);
  if (wanted.colourKey) png_set_tRNS(png, info, nullptr, 0, &wanted.key);
  png_write_info(png, info);
  png_write_image(png, rowPointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

struct Bgra {
  uint8_t b, g, r, a;
};

Bgra At(const PngImage& img, int x, int y) {
  const uint8_t* p = img.pixels.ScanLine(y) + x * 4;
  return {p[0], p[1], p[2], p[3]};
}

#define EXPECT_PIXEL(img, x, y, R, G, B, A)             \
  do {                                                  \
    Bgra p_ = At(img, x, y);                            \
    EXPECT_EQ(p_.r, R) << "red at " << x << "," << y;   \
    EXPECT_EQ(p_.g, G) << "green at " << x << "," << y; \
    EXPECT_EQ(p_.b, B) << "blue at " << x << "," << y;  \
    EXPECT_EQ(p_.a, A) << "alpha at " << x << "," << y; \
  } while (0)

PngImage Decode(const std::vector<uint8_t>& bytes) {
  PngImage img;
  std::string error;
  EXPECT_TRUE(DecodePng(bytes, img, error)) << error;
  return img;
}

TEST(PngDecoder, GreyAndGreyWithAlpha) {
  PngSpec grey;
  grey.width = 3;
  grey.colourType = PNG_COLOR_TYPE_GRAY;
  grey.rows = {0, 128, 255};
  PngImage g = Decode(WritePng(grey));
  EXPECT_FALSE(g.hasTransparency);
  EXPECT_PIXEL(g, 1, 0, 128, 128, 128, 255);
  EXPECT_PIXEL(g, 2, 0, 255, 255, 255, 255);

  // 1-bit grey expands to 0 and 255; nine pixels cross a byte boundary.
  PngSpec bits = grey;
  bits.width = 9;
  bits.bitDepth = 1;
  bits.rows = {0b10100000, 0b10000000};
  PngImage b = Decode(WritePng(bits));
  EXPECT_PIXEL(b, 0, 0, 255, 255, 255, 255);
  EXPECT_PIXEL(b, 1, 0, 0, 0, 0, 255);
  EXPECT_PIXEL(b, 8, 0, 255, 255, 255, 255);

  PngSpec ga;
  ga.width = 2;
  ga.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
  ga.rows = {200, 0, 50, 77};
  PngImage a = Decode(WritePng(ga));
  EXPECT_TRUE(a.hasTransparency);
  EXPECT_PIXEL(a, 0, 0, 200, 200, 200, 0);
  EXPECT_PIXEL(a, 1, 0, 50, 50, 50, 77);
}

TEST(PngDecoder, TrueColourWithAndWithoutAlpha) {
  PngSpec rgb;
  rgb.width = 2;
  rgb.rows = {10, 20, 30, 250, 1, 2};
  PngImage c = Decode(WritePng(rgb));
  EXPECT_FALSE(c.hasTransparency);
  EXPECT_PIXEL(c, 0, 0, 10, 20, 30, 255);
  EXPECT_PIXEL(c, 1, 0, 250, 1, 2, 255);

  PngSpec rgba;
  rgba.width = 2;
  rgba.colourType = PNG_COLOR_TYPE_RGBA;
  rgba.rows = {10, 20, 30, 0, 40, 50, 60, 128};
  PngImage a = Decode(WritePng(rgba));
  EXPECT_TRUE(a.hasTransparency);
  // Straight colour: a fully transparent pixel keeps its colour values.
  EXPECT_PIXEL(a, 0, 0, 10, 20, 30, 0);
  EXPECT_PIXEL(a, 1, 0, 40, 50, 60, 128);
}

TEST(PngDecoder, PaletteWithAndWithoutTransparencyChunk) {
  PngSpec pal;
  pal.width = 3;
  pal.colourType = PNG_COLOR_TYPE_PALETTE;
  pal.bitDepth = 4;
  pal.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  pal.rows = {0x01, 0x20};
  PngImage p = Decode(WritePng(pal));
  EXPECT_FALSE(p.hasTransparency);
  EXPECT_PIXEL(p, 0, 0, 255, 0, 0, 255);
  EXPECT_PIXEL(p, 1, 0, 0, 255, 0, 255);
  EXPECT_PIXEL(p, 2, 0, 0, 0, 255, 255);

  // A graded transparency chunk shorter than the palette: the last entry stays opaque.
  pal.paletteAlpha = {0, 100};
  PngImage t = Decode(WritePng(pal));
  EXPECT_TRUE(t.hasTransparency);
  EXPECT_PIXEL(t, 0, 0, 255, 0, 0, 0);
  EXPECT_PIXEL(t, 1, 0, 0, 255, 0, 100);
  EXPECT_PIXEL(t, 2, 0, 0, 0, 255, 255);
}

TEST(PngDecoder, SixteenBitSamplesAndColourKeys) {
  PngSpec deep;
  deep.width = 2;
  deep.bitDepth = 16;
  // Big-endian samples v * 257, which scale back to exactly v.
  for (uint8_t v : {10, 20, 30, 200, 100, 0}) {
    deep.rows.push_back(v);
    deep.rows.push_back(v);
  }
  PngImage d = Decode(WritePng(deep));
  EXPECT_PIXEL(d, 0, 0, 10, 20, 30, 255);
  EXPECT_PIXEL(d, 1, 0, 200, 100, 0, 255);

  // A colour key in a 16-bit grey image makes exactly the matching pixels transparent.
  PngSpec key;
  key.width = 2;
  key.colourType = PNG_COLOR_TYPE_GRAY;
  key.bitDepth = 16;
  key.rows = {0x12, 0x34, 0xFF, 0xFF};
  key.colourKey = true;
  key.key.gray = 0x1234;
  PngImage k = Decode(WritePng(key));
  EXPECT_TRUE(k.hasTransparency);
  EXPECT_EQ(At(k, 0, 0).a, 0);
  EXPECT_PIXEL(k, 1, 0, 255, 255, 255, 255);

  PngSpec rgbKey;
  rgbKey.width = 2;
  rgbKey.rows = {1, 2, 3, 1, 2, 4};
  rgbKey.colourKey = true;
  rgbKey.key.red = 1;
  rgbKey.key.green = 2;
  rgbKey.key.blue = 3;
  PngImage rk = Decode(WritePng(rgbKey));
  EXPECT_EQ(At(rk, 0, 0).a, 0);
  EXPECT_PIXEL(rk, 1, 0, 1, 2, 4, 255);
}

TEST(PngDecoder, InterlacedEqualsPlain) {
  PngSpec plain;
  plain.width = 13;
  plain.height = 11;
  plain.colourType = PNG_COLOR_TYPE_RGBA;
  for (uint32_t i = 0; i < plain.width * plain.height * 4; ++i) plain.rows.push_back(static_cast<uint8_t>(i * 37 + 11));
  PngSpec inter = plain;
  inter.interlaced = true;
  PngImage a = Decode(WritePng(plain));
  PngImage b = Decode(WritePng(inter));
  EXPECT_EQ(a.pixels, b.pixels);
  EXPECT_PIXEL(b, 12, 10, plain.rows[(10 * 13 + 12) * 4], plain.rows[(10 * 13 + 12) * 4 + 1],
               plain.rows[(10 * 13 + 12) * 4 + 2], plain.rows[(10 * 13 + 12) * 4 + 3]);
}

// ---- Damaged data ---------------------------------------------------------------------------------

std::vector<uint8_t> SmallRgba() {
  PngSpec s;
  s.width = 7;
  s.height = 5;
  s.colourType = PNG_COLOR_TYPE_RGBA;
  for (int i = 0; i < 7 * 5 * 4; ++i) s.rows.push_back(static_cast<uint8_t>(i));
  return WritePng(s);
}

// Writes a 32-bit big-endian value and refreshes the chunk's CRC, so only the field is wrong.
void PatchIhdr(std::vector<uint8_t>& png, uint32_t width, uint32_t height) {
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) png[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
  };
  put(16, width);
  put(20, height);
  put(29, static_cast<uint32_t>(crc32(0, png.data() + 12, 17)));
}

TEST(PngDecoder, EveryTruncationIsRefusedOrComplete) {
  const std::vector<uint8_t> whole = SmallRgba();
  const PngImage full = Decode(whole);
  for (size_t n = 0; n < whole.size(); ++n) {
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    PngImage img;
    img.hasTransparency = true;
    std::string error;
    if (DecodePng(cut, img, error)) {
      // Only the trailing chunk may be missing: then every pixel is there.
      EXPECT_EQ(img.pixels, full.pixels) << "cut at " << n;
    } else {
      EXPECT_FALSE(error.empty());
      EXPECT_FALSE(img.pixels.IsValid()) << "a refused image leaves the output as it was";
      EXPECT_TRUE(img.hasTransparency);
    }
  }
}

TEST(PngDecoder, DamagedHeadersAndDataAreRefused) {
  PngImage img;
  std::string error;
  const std::string text = "not an image at all";
  EXPECT_FALSE(DecodePng(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), img, error));
  EXPECT_EQ(error, "not a PNG image");

  std::vector<uint8_t> badCrc = SmallRgba();
  badCrc[17] ^= 1;  // width changes, CRC does not
  EXPECT_FALSE(DecodePng(badCrc, img, error));

  std::vector<uint8_t> huge = SmallRgba();
  PatchIhdr(huge, 100000, 100000);
  EXPECT_FALSE(DecodePng(huge, img, error));

  // Within the side limit but far beyond what the compressed data could hold: refused before the
  // pixel memory (256 MB) is taken.
  std::vector<uint8_t> bomb = SmallRgba();
  PatchIhdr(bomb, 8192, 8192);
  EXPECT_FALSE(DecodePng(bomb, img, error));
  EXPECT_NE(error.find("too short"), std::string::npos) << error;

  std::vector<uint8_t> badZlib = SmallRgba();
  // The first IDAT's data starts after signature (8), IHDR (25) and the IDAT length and type (8).
  ASSERT_EQ(std::memcmp(badZlib.data() + 37, "IDAT", 4), 0);
  badZlib[41] = 0xFF;  // an invalid zlib header; the chunk CRC is then wrong as well
  EXPECT_FALSE(DecodePng(badZlib, img, error));
  EXPECT_FALSE(img.pixels.IsValid());
}

TEST(PngWriter, RoundTripsColourAndTransparency) {
  TABitmap s(5, 3);
  for (size_t i = 0; i < s.ByteSize(); ++i) s.Bits()[i] = static_cast<uint8_t>(i * 13);
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(EncodePng(s, PngAlpha::FromTransparency, bytes, error)) << error;
  PngImage back = Decode(bytes);
  ASSERT_TRUE(back.hasTransparency);
  for (size_t i = 0; i < s.ByteSize(); i += 4) {
    EXPECT_EQ(back.pixels.Bits()[i], s.Bits()[i]);
    EXPECT_EQ(back.pixels.Bits()[i + 2], s.Bits()[i + 2]);
    EXPECT_EQ(back.pixels.Bits()[i + 3], 255 - s.Bits()[i + 3]) << "alpha is 255 - T";
  }
  bytes.clear();
  ASSERT_TRUE(EncodePng(s, PngAlpha::None, bytes, error));
  PngImage opaque = Decode(bytes);
  EXPECT_FALSE(opaque.hasTransparency);
  EXPECT_EQ(opaque.pixels.Bits()[1], s.Bits()[1]);
  EXPECT_FALSE(EncodePng(TABitmap(), PngAlpha::None, bytes, error));
}

}  // namespace
}  // namespace mokuren
