#include "graphics/png_decoder.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

namespace mokuren {

namespace {

// libpng reports errors by longjmp. Everything the jump can cross is plain data: the two functions that
// call setjmp below hold no object with a destructor, and the objects that need cleaning up (the libpng
// structures, the pixel memory, the row table) are owned by DecodePng, outside the jump's reach.
struct ReadContext {
  const uint8_t* data;
  size_t size;
  size_t pos;
  std::jmp_buf jump;
  char message[160];
};

void OnRead(png_structp png, png_bytep out, size_t n) {
  auto* ctx = static_cast<ReadContext*>(png_get_io_ptr(png));
  if (n > ctx->size - ctx->pos) png_error(png, "the data ends before the image does");
  std::memcpy(out, ctx->data + ctx->pos, n);
  ctx->pos += n;
}

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
  auto* ctx = static_cast<ReadContext*>(png_get_error_ptr(png));
  std::strncpy(ctx->message, message ? message : "unknown error", sizeof ctx->message - 1);
  ctx->message[sizeof ctx->message - 1] = '\0';
  std::longjmp(ctx->jump, 1);
}

void OnWarning(png_structp, png_const_charp) {}

struct Header {
  uint32_t width;
  uint32_t height;
  uint32_t bitsPerPixel;  // as stored, before conversion
  int hasTransparency;
};

// Reads the header and sets the transformations that give 8-bit blue, green, red, alpha in every case.
int ReadHeader(png_structp png, png_infop info, ReadContext* ctx, Header* header) {
  if (setjmp(ctx->jump)) return 0;
  png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
  png_read_info(png, info);
  const int colourType = png_get_color_type(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  const int hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  header->width = png_get_image_width(png, info);
  header->height = png_get_image_height(png, info);
  header->bitsPerPixel = static_cast<uint32_t>(bitDepth) * png_get_channels(png, info);
  header->hasTransparency = hasTrns || (colourType & PNG_COLOR_MASK_ALPHA) != 0;
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (hasTrns) png_set_tRNS_to_alpha(png);
  if (bitDepth == 16) png_set_scale_16(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  png_set_bgr(png);
  if (!header->hasTransparency) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(header->width) * 4)
    png_error(png, "unexpected row layout after conversion");
  return 1;
}

int ReadRows(png_structp png, ReadContext* ctx, png_bytepp rows) {
  if (setjmp(ctx->jump)) return 0;
  // The trailing chunks are not read: an image whose pixels are all there is shown even if the file's
  // end was cut off.
  png_read_image(png, rows);
  return 1;
}

struct ReadStructs {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~ReadStructs() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

}  // namespace

bool DecodePng(std::span<const uint8_t> data, PngImage& out, std::string& error) {
  if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) {
    error = "not a PNG image";
    return false;
  }
  if (data.size() > kMaxPngFileBytes) {
    error = "the data is larger than any image this decoder reads";
    return false;
  }
  auto ctx = std::make_unique<ReadContext>();
  ctx->data = data.data();
  ctx->size = data.size();
  ctx->pos = 0;
  ctx->message[0] = '\0';
  ReadStructs s;
  s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, ctx.get(), OnError, OnWarning);
  if (!s.png) {
    error = "out of memory";
    return false;
  }
  s.info = png_create_info_struct(s.png);
  if (!s.info) {
    error = "out of memory";
    return false;
  }
  png_set_read_fn(s.png, ctx.get(), OnRead);

  Header header{};
  if (!ReadHeader(s.png, s.info, ctx.get(), &header)) {
    error = ctx->message;
    return false;
  }
  if (header.width == 0 || header.height == 0 || header.width > kMaxPngSide || header.height > kMaxPngSide) {
    error = "the image size is out of range";
    return false;
  }
  // Deflate packs at most about 1032 bytes into one, so a file much shorter than its pixel rows need is
  // cut off or hostile; refusing it here keeps a tiny file from taking the memory of a large image.
  const uint64_t rowBytes = (static_cast<uint64_t>(header.width) * header.bitsPerPixel + 7) / 8 + 1;
  if (rowBytes * header.height > static_cast<uint64_t>(data.size()) * 1032) {
    error =
        "the data is too short for a " + std::to_string(header.width) + "x" + std::to_string(header.height) + " image";
    return false;
  }
  TABitmap pixels(static_cast<int32_t>(header.width), static_cast<int32_t>(header.height));
  std::vector<png_bytep> rows(header.height);
  for (uint32_t y = 0; y < header.height; ++y) rows[y] = pixels.ScanLine(static_cast<int32_t>(y));
  if (!ReadRows(s.png, ctx.get(), rows.data())) {
    error = ctx->message;
    return false;
  }
  out.pixels = std::move(pixels);
  out.hasTransparency = header.hasTransparency != 0;
  return true;
}

}  // namespace mokuren
