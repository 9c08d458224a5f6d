// The pixel routines of TABitmap: opaque copies, constant-opacity and per-pixel-transparency blends,
// bilinear scaling and colour inversion. All arithmetic is integer-only and exactly as documented per
// routine; the results are part of what stored pictures and thumbnails look like, so they are kept bit
// for bit, odd corners included (a fully opaque source drawn at opacity 255 turns 255 into 254).
//
// Every routine has a plain scalar version (the reference) and, on x86-64, SSE2 and AVX2 versions
// chosen at run time. The fast versions give the same bytes as the reference. Setting the environment
// variable MOKUREN_SCALAR=1 before the first call keeps the reference in use.
//
// No routine reads or writes outside its surfaces, whatever the arguments: rectangles are clipped
// against the destination as documented and, beyond that, against the source.
#pragma once

#include <cstdint>

#include "graphics/ABitmap.h"
#include "platform/platform.h"

namespace mokuren {

// ---- Opaque copies ----------------------------------------------------------------------------------
// Copies the width x height rectangle at (sx, sy) of `src` to (x, y) of `dst`, all four bytes per pixel,
// clipped against both surfaces. Nothing happens when either surface is not valid.
void CopyOpaque(const TABitmap& src, TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx,
                int32_t sy);
// Copies the whole of `src` to (x, y) of `dst` (clipped).
void CopyOpaque(const TABitmap& src, TABitmap& dst, int32_t x = 0, int32_t y = 0);
// Copies the rectangle as CopyOpaque does, except that source pixels of the colour (blue, green, red) of
// the rectangle's top-left pixel are left out, and byte 3 of the destination stays: a picture drawn with
// its transparent colour. Nothing is drawn when (sx, sy) lies outside the source.
void DrawKeyed(const TABitmap& src, TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx,
               int32_t sy);
// The same with the transparent colour taken from the source pixel (keyX, keyY); nothing is drawn when
// that pixel lies outside the source.
void DrawKeyed(const TABitmap& src, TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx,
               int32_t sy, int32_t keyX, int32_t keyY);
// Sets every pixel of the rectangle (clipped) to blue | green << 8 | red << 16, byte 3 = 0.
void FillRect(TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, uint8_t red, uint8_t green,
              uint8_t blue);

// ---- Blends -----------------------------------------------------------------------------------------
// Clipping shared by the three blends: nothing is drawn when a surface is not valid; the rectangle is
// clipped against the destination (a negative x or y moves sx or sy along), then against the source.

// dest = (src * a + dest * (256 - a)) >> 8 for all four bytes, in 16-bit arithmetic (a is taken as
// 16 bits; 0-255 in use: 0 leaves dest, 255 turns 255 over 0 into 254).
void BlendConst(const TABitmap& src, TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx,
                int32_t sy, int32_t opacity);
// With T the source's byte 3: w = ((255 - T) * (opacity + 1)) >> 8, then for all four bytes
// dest = (src * w + dest * (255 - w)) >> 8. opacity is taken as 16 bits, 0-255 in use.
void DrawAlpha(const TABitmap& src, TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx,
               int32_t sy, int32_t opacity);
// As DrawAlpha, except that source pixels with T = 255 leave the destination pixel exactly as it was.
void DrawAlphaSkip(const TABitmap& src, TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx,
                   int32_t sy, int32_t opacity);

// ---- Scaling ----------------------------------------------------------------------------------------
// Scales the source rectangle (sx, sy, sw, sh) to dw x dh pixels at (dx, dy) of `dst` with bilinear
// filtering in 16.16 fixed point (steps of sw * 65535 / dw: 65535, not 65536). The save thumbnails use
// it (800x600 to 128x96). Rows and columns beyond the source's last are read as the last one.
void StretchBilinear(const TABitmap& src, TABitmap& dst, double dx, double dy, int32_t dw, int32_t dh, double sx,
                     double sy, double sw, double sh);

// ---- In place ---------------------------------------------------------------------------------------
// Blue, green and red become 255 minus their value inside the rectangle (clipped to the surface);
// byte 3 stays.
void InvertRect(TABitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height);

// ---- Coverage as transparency -------------------------------------------------------------------------
// Sets `pixels` pixels of row y of `dst` from column x rightwards (clipped to the surface) to the colour
// (blue | green << 8 | red << 16 of `colour`; its top byte is ignored) with byte 3 = 255 - coverage[i]:
// text coverage made a layer's transparency. Meant for layers: it is not recorded on a recorded frame.
void CoverageRow(TABitmap& dst, int32_t x, int32_t y, const uint8_t* coverage, int32_t pixels, uint32_t colour);

// ---- Drawing a part again ----------------------------------------------------------------------------
// While it lives, the copies, fills, blends and inversions above change no pixel of `target` outside
// `area`; what they draw inside it is what they would draw unclipped (FrameRecorder draws a frame again
// only where it changed).
class DrawClip {
 public:
  DrawClip(const TABitmap& target, const Rect& area);
  ~DrawClip();
  DrawClip(const DrawClip&) = delete;
  DrawClip& operator=(const DrawClip&) = delete;

 private:
  const TABitmap* previousTarget_;
  Rect previousArea_;
};

// ---- Kernel selection -------------------------------------------------------------------------------
enum class PixelKernels : uint8_t { Scalar, Sse2, Sse41, Avx2 };
// Whether this machine (and this build) can run the given kernels.
bool PixelKernelsAvailable(PixelKernels kernels);
// The kernels in use: the best available unless MOKUREN_SCALAR=1 was set or SetPixelKernels chose.
PixelKernels CurrentPixelKernels();
// Chooses the kernels (tests and benchmarks compare them); an unavailable choice falls back to Scalar.
void SetPixelKernels(PixelKernels kernels);
const char* PixelKernelsName(PixelKernels kernels);

}  // namespace mokuren
