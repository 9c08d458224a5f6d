// The pixel routines: clipping and row selection here, the arithmetic in the row kernels.
#include "graphics/ABitmapFilters32.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/frame_recorder.h"
#include "graphics/pixel_kernels.h"

namespace mokuren {

namespace {

// ---- Kernel selection -------------------------------------------------------------------------------

bool ScalarRequested() {
  const char* v = std::getenv("MOKUREN_SCALAR");
  return v && *v && std::strcmp(v, "0") != 0;
}

PixelKernels BestAvailable() {
  if (PixelKernelsAvailable(PixelKernels::Avx2)) return PixelKernels::Avx2;
  if (PixelKernelsAvailable(PixelKernels::Sse41)) return PixelKernels::Sse41;
  if (PixelKernelsAvailable(PixelKernels::Sse2)) return PixelKernels::Sse2;
  return PixelKernels::Scalar;
}

const kernels::RowKernels& KernelsFor(PixelKernels k) {
#if defined(MOKUREN_X86_KERNELS)
  if (k == PixelKernels::Avx2) return kernels::Avx2Kernels();
  if (k == PixelKernels::Sse41) return kernels::Sse41Kernels();
#endif
#if defined(MOKUREN_SSE2_KERNELS)
  if (k == PixelKernels::Sse2 && PixelKernelsAvailable(k)) return kernels::Sse2Kernels();
#endif
  return kernels::ScalarKernels();
}

struct Selection {
  PixelKernels which;
  const kernels::RowKernels* rows;
};

Selection& Selected() {
  static Selection s = [] {
    PixelKernels k = ScalarRequested() ? PixelKernels::Scalar : BestAvailable();
    return Selection{k, &KernelsFor(k)};
  }();
  return s;
}

const kernels::RowKernels& Rows() { return *Selected().rows; }

// ---- Recording --------------------------------------------------------------------------------------

// While a frame is recorded on dst, a drawing is written down instead of done (FrameRecorder).
bool Recorded(FrameRecorder::Kind kind, const TABitmap* src, const TABitmap& dst, std::array<int32_t, 8> arguments) {
  FrameRecorder* recorder = dst.RecordedBy();
  return recorder && recorder->Record(kind, src, arguments);
}

// ---- Clipping ---------------------------------------------------------------------------------------

struct Span {
  int32_t x, y, width, height, sx, sy;
};

// The part of one surface that the routines may change while a DrawClip lives.
thread_local const TABitmap* clipTarget = nullptr;
thread_local Rect clipArea;

// Narrows a clipped span to the DrawClip of its destination, moving the source along.
bool ClipToArea(const TABitmap& dst, Span& s) {
  if (&dst != clipTarget) return true;
  const int32_t x0 = std::max(s.x, clipArea.x), y0 = std::max(s.y, clipArea.y);
  const int32_t x1 = std::min(s.x + s.width, clipArea.x + clipArea.width);
  const int32_t y1 = std::min(s.y + s.height, clipArea.y + clipArea.height);
  if (x1 <= x0 || y1 <= y0) return false;
  s = Span{x0, y0, x1 - x0, y1 - y0, s.sx + (x0 - s.x), s.sy + (y0 - s.y)};
  return true;
}

// Clips against the destination as the blends document, then against the source so that no caller can
// make a routine read outside it. 64-bit sums: arguments near the int32 limits must not overflow.
bool Clip(const TABitmap& src, const TABitmap& dst, int64_t x, int64_t y, int64_t w, int64_t h, int64_t sx, int64_t sy,
          Span& out) {
  if (!src.IsValid() || !dst.IsValid()) return false;
  if (x < 0) {
    if (x + w <= 0) return false;
    w -= -x;
    sx += -x;
    x = 0;
  }
  if (y < 0) {
    if (y + h <= 0) return false;
    h -= -y;
    sy += -y;
    y = 0;
  }
  if (x >= dst.Width() || y >= dst.Height()) return false;
  if (x + w > dst.Width()) w = dst.Width() - x;
  if (y + h > dst.Height()) h = dst.Height() - y;
  // The source.
  if (sx < 0) {
    w += sx;
    x -= sx;
    sx = 0;
  }
  if (sy < 0) {
    h += sy;
    y -= sy;
    sy = 0;
  }
  if (sx >= src.Width() || sy >= src.Height()) return false;
  if (sx + w > src.Width()) w = src.Width() - sx;
  if (sy + h > src.Height()) h = src.Height() - sy;
  if (w <= 0 || h <= 0) return false;
  out = Span{static_cast<int32_t>(x), static_cast<int32_t>(y),  static_cast<int32_t>(w),
             static_cast<int32_t>(h), static_cast<int32_t>(sx), static_cast<int32_t>(sy)};
  return ClipToArea(dst, out);
}

bool ClipToSurface(const TABitmap& dst, int64_t x, int64_t y, int64_t w, int64_t h, Span& out) {
  if (!dst.IsValid()) return false;
  if (x < 0) {
    w += x;
    x = 0;
  }
  if (y < 0) {
    h += y;
    y = 0;
  }
  if (x >= dst.Width() || y >= dst.Height()) return false;
  w = std::min<int64_t>(w, dst.Width() - x);
  h = std::min<int64_t>(h, dst.Height() - y);
  if (w <= 0 || h <= 0) return false;
  out = Span{static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(w), static_cast<int32_t>(h), 0, 0};
  return ClipToArea(dst, out);
}

template <typename RowFn>
void ForEachRow(const TABitmap& src, TABitmap& dst, const Span& s, RowFn fn) {
  // Drawing a surface onto itself with the source above the target must read rows before they change.
  const bool bottomUp = &src == &dst && s.sy < s.y;
  for (int32_t j = 0; j < s.height; ++j) {
    const int32_t row = bottomUp ? s.height - 1 - j : j;
    fn(src.ScanLine(s.sy + row) + static_cast<size_t>(s.sx) * 4,
       dst.ScanLine(s.y + row) + static_cast<size_t>(s.x) * 4);
  }
}

}  // namespace

DrawClip::DrawClip(const TABitmap& target, const Rect& area) : previousTarget_(clipTarget), previousArea_(clipArea) {
  clipTarget = &target;
  clipArea = area;
}

DrawClip::~DrawClip() {
  clipTarget = previousTarget_;
  clipArea = previousArea_;
}

bool PixelKernelsAvailable(PixelKernels kernels) {
  switch (kernels) {
    case PixelKernels::Scalar: return true;
#if defined(MOKUREN_WASM_SIMD_LINKED_APART)
    case PixelKernels::Sse2: return &kernels::Sse2Kernels != nullptr;
#elif defined(MOKUREN_SSE2_KERNELS)
    case PixelKernels::Sse2: return true;
#else
    case PixelKernels::Sse2: return false;
#endif
#if defined(MOKUREN_X86_KERNELS)
    case PixelKernels::Sse41: return __builtin_cpu_supports("ssse3") && __builtin_cpu_supports("sse4.1");
    case PixelKernels::Avx2: return __builtin_cpu_supports("avx2");
#else
    case PixelKernels::Sse41: return false;
    case PixelKernels::Avx2: return false;
#endif
  }
  return false;
}

PixelKernels CurrentPixelKernels() { return Selected().which; }

void SetPixelKernels(PixelKernels kernels) {
  if (!PixelKernelsAvailable(kernels)) kernels = PixelKernels::Scalar;
  Selected() = Selection{kernels, &KernelsFor(kernels)};
}

const char* PixelKernelsName(PixelKernels kernels) {
  switch (kernels) {
    case PixelKernels::Scalar: return "scalar";
#if defined(__wasm__)
    case PixelKernels::Sse2: return "wasm-simd";
#else
    case PixelKernels::Sse2: return "sse2";
#endif
    case PixelKernels::Sse41: return "sse41";
    case PixelKernels::Avx2: return "avx2";
  }
  return "?";
}

// ---- Opaque copies ----------------------------------------------------------------------------------

void CopyOpaque(const TABitmap& src, TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx,
                int32_t sy) {
  if (Recorded(FrameRecorder::Kind::Copy, &src, dst, {x, y, width, height, sx, sy})) return;
  Span s;
  if (!Clip(src, dst, x, y, width, height, sx, sy, s)) return;
  const size_t bytes = static_cast<size_t>(s.width) * 4;
  ForEachRow(src, dst, s, [bytes](const uint8_t* from, uint8_t* to) { std::memmove(to, from, bytes); });
}

void CopyOpaque(const TABitmap& src, TABitmap& dst, int32_t x, int32_t y) {
  CopyOpaque(src, dst, x, y, src.Width(), src.Height(), 0, 0);
}

void DrawKeyed(const TABitmap& src, TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx,
               int32_t sy) {
  DrawKeyed(src, dst, x, y, width, height, sx, sy, sx, sy);
}

void DrawKeyed(const TABitmap& src, TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx,
               int32_t sy, int32_t keyX, int32_t keyY) {
  if (Recorded(FrameRecorder::Kind::Keyed, &src, dst, {x, y, width, height, sx, sy, keyX, keyY})) return;
  if (!src.IsValid() || keyX < 0 || keyY < 0 || keyX >= src.Width() || keyY >= src.Height()) return;
  static_assert(std::endian::native == std::endian::little, "a pixel's blue byte is the low byte of its word");
  // Pixels as words (blue in the low byte): a pixel of the key's colour keeps the target's, any other
  // replaces the target's colour and leaves its transparency byte. One select per pixel and no
  // branch to mispredict along the edges of a keyed shape.
  uint32_t key;
  std::memcpy(&key, src.ScanLine(keyY) + static_cast<size_t>(keyX) * 4, 4);
  key &= 0x00FFFFFFu;
  Span s;
  if (!Clip(src, dst, x, y, width, height, sx, sy, s)) return;
  ForEachRow(src, dst, s, [&](const uint8_t* from, uint8_t* to) {
    for (int32_t i = 0; i < s.width; ++i) {
      uint32_t colour, target;
      std::memcpy(&colour, from + static_cast<size_t>(i) * 4, 4);
      std::memcpy(&target, to + static_cast<size_t>(i) * 4, 4);
      colour &= 0x00FFFFFFu;
      target = colour == key ? target : (target & 0xFF000000u) | colour;
      std::memcpy(to + static_cast<size_t>(i) * 4, &target, 4);
    }
  });
}

void FillRect(TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, uint8_t red, uint8_t green,
              uint8_t blue) {
  if (Recorded(FrameRecorder::Kind::Fill, nullptr, dst, {x, y, width, height, red, green, blue})) return;
  Span s;
  if (!ClipToSurface(dst, x, y, width, height, s)) return;
  const uint32_t pixel = blue | uint32_t{green} << 8 | uint32_t{red} << 16;
  uint8_t* first = dst.ScanLine(s.y) + static_cast<size_t>(s.x) * 4;
  for (int32_t i = 0; i < s.width; ++i) std::memcpy(first + i * 4, &pixel, 4);
  for (int32_t j = 1; j < s.height; ++j)
    std::memcpy(dst.ScanLine(s.y + j) + static_cast<size_t>(s.x) * 4, first, static_cast<size_t>(s.width) * 4);
}

// ---- Blends -----------------------------------------------------------------------------------------

namespace {

using BlendRow = void (*)(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t opacity);

// The three blends differ only in their row kernel: clip once, then blend row by row. The opacity is
// taken as a 16-bit value.
void BlendRows(BlendRow row, FrameRecorder::Kind kind, const TABitmap& src, TABitmap& dst, int32_t x, int32_t y,
               int32_t width, int32_t height, int32_t sx, int32_t sy, int32_t opacity) {
  if (Recorded(kind, &src, dst, {x, y, width, height, sx, sy, opacity})) return;
  Span s;
  if (!Clip(src, dst, x, y, width, height, sx, sy, s)) return;
  const uint16_t o = static_cast<uint16_t>(opacity);
  ForEachRow(src, dst, s, [&](const uint8_t* from, uint8_t* to) { row(from, to, s.width, o); });
}

}  // namespace

void BlendConst(const TABitmap& src, TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx,
                int32_t sy, int32_t opacity) {
  BlendRows(Rows().blendConst, FrameRecorder::Kind::BlendConst, src, dst, x, y, width, height, sx, sy, opacity);
}

void DrawAlpha(const TABitmap& src, TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx,
               int32_t sy, int32_t opacity) {
  BlendRows(Rows().drawAlpha, FrameRecorder::Kind::DrawAlpha, src, dst, x, y, width, height, sx, sy, opacity);
}

void DrawAlphaSkip(const TABitmap& src, TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx,
                   int32_t sy, int32_t opacity) {
  BlendRows(Rows().drawAlphaSkip, FrameRecorder::Kind::DrawAlphaSkip, src, dst, x, y, width, height, sx, sy, opacity);
}

// ---- Scaling ----------------------------------------------------------------------------------------

void StretchBilinear(const TABitmap& src, TABitmap& dst, double dx, double dy, int32_t dw, int32_t dh, double sx,
                     double sy, double sw, double sh) {
  if (!src.IsValid() || !dst.IsValid()) return;
  // A zero-sized or non-finite rectangle would divide by zero below or overflow the fixed-point steps.
  for (double v : {dx, dy, sx, sy, sw, sh})
    if (!std::isfinite(v) || std::fabs(v) > 1e7) return;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  const int64_t SW = src.Width(), SH = src.Height(), DW = dst.Width(), DH = dst.Height();
  // Fixed-point steps from the unclipped rectangle.
  const int64_t stepX = static_cast<int64_t>(std::trunc(sw * 65535 / dw));
  const int64_t stepY = static_cast<int64_t>(std::trunc(sh * 65535 / dh));
  const int64_t qY = static_cast<int64_t>(std::trunc(dh * 65535.0 / sh));
  // Nothing to draw when the source origin lies outside the source or the rectangle misses the target.
  if (sx < 0 || sx > SW || sy < 0 || sy > SH || dx >= DW || dy >= DH || dw + dx <= 0 || dh + dy <= 0) return;
  // Clip at the target's left and top edges, moving the source origin by the same share.
  const double kx = sw / dw, ky = sh / dh;
  if (dx < 0) {
    sw = (dw + dx) * kx;
    sx += kx * -dx;
    dw = static_cast<int32_t>(std::trunc(dw + dx));
    dx = 0;
  }
  if (dy < 0) {
    sh = (dh + dy) * ky;
    sy += ky * -dy;
    dh = static_cast<int32_t>(std::trunc(dh + dy));
    dy = 0;
  }
  // Clip at the target's right and bottom edges.
  if (dx + dw > DW) {
    sw = kx * (DW - dx);
    dw = static_cast<int32_t>(std::trunc(DW - dx));
  }
  if (dy + dh > DH) {
    sh = ky * (DH - dy);
    dh = static_cast<int32_t>(std::trunc(DH - dy));
  }
  // Nothing left to draw, or the moved source origin lies outside the source.
  if (dw <= 0 || dh <= 0 || sx < 0 || sx > SW || sy < 0 || sy > SH) return;
  // Clip the source rectangle to the source (changes only what the bottom-edge rule sees; the destination size
  // stays).
  if (sx + sw > SW) sw = SW - sx;
  if (sy + sh > SH) sh = SH - sy;
  const int64_t dxT = static_cast<int64_t>(dx), dyT = static_cast<int64_t>(dy);
  dw = static_cast<int32_t>(std::min<int64_t>(dw, DW - dxT));
  dh = static_cast<int32_t>(std::min<int64_t>(dh, DH - dyT));
  if (dw <= 0 || dh <= 0) return;

  // Columns, shared by every row. A column past the source's last reads the last one.
  std::vector<int32_t> c0(dw), c1(dw);
  std::vector<uint8_t> fx(dw);
  int64_t acc = static_cast<int64_t>(std::trunc(sx * 65535));
  for (int32_t i = 0; i < dw; ++i, acc += stepX) {
    const int64_t c = acc >> 16;
    c0[i] = static_cast<int32_t>(std::clamp<int64_t>(c, 0, SW - 1));
    c1[i] = static_cast<int32_t>(std::clamp<int64_t>(c + 1, 0, SW - 1));
    fx[i] = static_cast<uint8_t>((acc >> 8) & 255);
  }
  const kernels::StretchColumns columns{c0.data(), c1.data(), fx.data()};

  // Rows; at the source's bottom edge the last rows blend the last row with the one above it.
  const int64_t syT = static_cast<int64_t>(sy), shT = static_cast<int64_t>(sh);
  const bool bottomEdge = syT + shT >= SH;
  const int64_t normalRows = bottomEdge ? (shT - 1) * qY / 65535 : dh;
  const auto row = Rows().stretchRow;
  // Scaling a surface onto itself reads from a copy.
  TABitmap copy;
  const TABitmap& from = &src == &dst ? (copy = src, copy) : src;
  for (int32_t j = 0; j < dh; ++j) {
    int64_t r0, r1, f;
    if (j < normalRows) {
      const int64_t a = j * stepY;
      r0 = syT + (a >> 16);
      r1 = r0 + 1;
      f = (a >> 8) & 255;
    } else {
      const int64_t a = ((shT - 1) << 16) + (j - std::max<int64_t>(normalRows, 0)) * stepY;
      r0 = SH - 1;
      r1 = SH - 2;
      f = (a >> 8) & 255;
    }
    r0 = std::clamp<int64_t>(r0, 0, SH - 1);
    r1 = std::clamp<int64_t>(r1, 0, SH - 1);
    row(from.ScanLine(static_cast<int32_t>(r0)), from.ScanLine(static_cast<int32_t>(r1)),
        dst.ScanLine(static_cast<int32_t>(dyT + j)) + dxT * 4, dw, columns, static_cast<uint8_t>(f));
  }
}

// ---- In place ---------------------------------------------------------------------------------------

void InvertRect(TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (Recorded(FrameRecorder::Kind::Invert, nullptr, dst, {x, y, width, height})) return;
  Span s;
  if (!ClipToSurface(dst, x, y, width, height, s)) return;
  const auto row = Rows().invert;
  for (int32_t j = 0; j < s.height; ++j) row(dst.ScanLine(s.y + j) + static_cast<size_t>(s.x) * 4, s.width);
}

void CoverageRow(TABitmap& dst, int32_t x, int32_t y, const uint8_t* coverage, int32_t pixels, uint32_t colour) {
  Span s;
  if (!ClipToSurface(dst, x, y, pixels, 1, s)) return;
  Rows().coverageRow(coverage + (s.x - x), dst.ScanLine(s.y) + static_cast<size_t>(s.x) * 4, s.width,
                     colour & 0x00FFFFFFu);
}

}  // namespace mokuren
