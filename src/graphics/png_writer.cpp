#include "graphics/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <memory>

#include "platform/output_file.h"

namespace mokuren {

namespace {

// As in the decoder, libpng's errors arrive by longjmp: the function that calls setjmp owns nothing
// with a destructor; the buffers and libpng structures belong to EncodePng.
struct WriteContext {
  std::vector<uint8_t>* out;
  std::jmp_buf jump;
  char message[160];
};

void OnWrite(png_structp png, png_bytep data, size_t n) {
  auto* ctx = static_cast<WriteContext*>(png_get_io_ptr(png));
  bool failed = false;
  try {
    ctx->out->insert(ctx->out->end(), data, data + n);
  } catch (...) {
    failed = true;
  }
  if (failed) png_error(png, "out of memory");
}

void OnFlush(png_structp) {}

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
  auto* ctx = static_cast<WriteContext*>(png_get_error_ptr(png));
  std::strncpy(ctx->message, message ? message : "unknown error", sizeof ctx->message - 1);
  ctx->message[sizeof ctx->message - 1] = '\0';
  std::longjmp(ctx->jump, 1);
}

void OnWarning(png_structp, png_const_charp) {}

int WriteImage(png_structp png, png_infop info, WriteContext* ctx, uint32_t width, uint32_t height, int colourType,
               png_bytepp rows) {
  if (setjmp(ctx->jump)) return 0;
  png_set_write_fn(png, ctx, OnWrite, OnFlush);
  png_set_IHDR(png, info, width, height, 8, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 6);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return 1;
}

struct WriteStructs {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~WriteStructs() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

}  // namespace

namespace {

// Encodes rows of 3 (RGB) or 4 (RGBA) bytes a pixel.
bool EncodeRows(uint32_t width, uint32_t height, int channels, std::vector<png_bytep>& rows, std::vector<uint8_t>& out,
                std::string& error) {
  auto ctx = std::make_unique<WriteContext>();
  ctx->out = &out;
  ctx->message[0] = '\0';
  WriteStructs s;
  s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, ctx.get(), OnError, OnWarning);
  if (s.png) s.info = png_create_info_struct(s.png);
  if (!s.png || !s.info) {
    error = "out of memory";
    return false;
  }
  const size_t start = out.size();
  if (!WriteImage(s.png, s.info, ctx.get(), width, height, channels == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA,
                  rows.data())) {
    out.resize(start);
    error = ctx->message;
    return false;
  }
  return true;
}

}  // namespace

bool EncodePng(const TABitmap& image, PngAlpha alpha, std::vector<uint8_t>& out, std::string& error) {
  if (!image.IsValid()) {
    error = "the surface is empty";
    return false;
  }
  const int channels = alpha == PngAlpha::None ? 3 : 4;
  const auto width = static_cast<uint32_t>(image.Width());
  const auto height = static_cast<uint32_t>(image.Height());
  std::vector<uint8_t> converted(static_cast<size_t>(width) * height * channels);
  std::vector<png_bytep> rows(height);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* s = image.ScanLine(static_cast<int32_t>(y));
    uint8_t* d = converted.data() + static_cast<size_t>(y) * width * channels;
    rows[y] = d;
    for (uint32_t x = 0; x < width; ++x, s += 4, d += channels) {
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
      if (channels == 4) d[3] = static_cast<uint8_t>(255 - s[3]);
    }
  }
  return EncodeRows(width, height, channels, rows, out, error);
}

bool EncodePngRgba(int32_t width, int32_t height, const std::vector<uint8_t>& rgba, std::vector<uint8_t>& out,
                   std::string& error) {
  if (width <= 0 || height <= 0 || rgba.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
    error = "the pixels do not match the size " + std::to_string(width) + "x" + std::to_string(height);
    return false;
  }
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (size_t y = 0; y < rows.size(); ++y)
    rows[y] = const_cast<png_bytep>(rgba.data() + y * static_cast<size_t>(width) * 4);  // libpng only reads them
  return EncodeRows(static_cast<uint32_t>(width), static_cast<uint32_t>(height), 4, rows, out, error);
}

bool WritePngFile(const std::filesystem::path& path, const TABitmap& image, PngAlpha alpha, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!EncodePng(image, alpha, bytes, error)) return false;
  std::string problem;
  if (WriteOutputFile(path.string(), std::string(bytes.begin(), bytes.end()), problem)) return true;
  error = "cannot write " + path.string() + ": " + problem;
  return false;
}

}  // namespace mokuren
