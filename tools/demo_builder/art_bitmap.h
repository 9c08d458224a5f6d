// Drawing helpers shared by the demo's screen pictures, which are drawn on engine surfaces so that the
// engine's text renderer can write on them.
#pragma once

#include <string>

#include "art_lettering.h"
#include "graphics/ABitmap.h"

namespace mokuren::demo {

struct Colour {
  int r, g, b;
};

// Blends colour c over the pixel at (x, y) with alpha 0-255; pixels outside the surface are skipped.
void Blend(TABitmap& s, int x, int y, Colour c, int alpha);
void FillBox(TABitmap& s, int x, int y, int w, int h, Colour c, int alpha);
// A rounded box with a soft edge, blended at `alpha`.
void RoundBox(TABitmap& s, int x, int y, int w, int h, int radius, Colour c, int alpha);
// The whole surface in a gradient from `top` to `bottom`.
void Gradient(TABitmap& s, Colour top, Colour bottom);
// `label` centred on x = cx, its cell's top at y.
void Centred(Lettering& text, TABitmap& s, int cx, int y, const std::u16string& label, const FontSpec& font, Rgb ink);
// The surface as an opaque PNG.
std::string ToPng(const TABitmap& s);

}  // namespace mokuren::demo
