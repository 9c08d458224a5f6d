// Drawing helpers shared by the demo's screen pictures, which are drawn on engine surfaces so that the
// engine's text renderer can write on them.
#pragma once

#include <string>

#include "graphics/ABitmap.h"

namespace mokuren::demo {

struct Colour {
  int r, g, b;
};

// Blends colour c over the pixel at (x, y) with alpha 0-255; pixels outside the surface are skipped.
void Blend(TABitmap& s, int x, int y, Colour c, int alpha);
void FillBox(TABitmap& s, int x, int y, int w, int h, Colour c, int alpha);
// The surface as an opaque PNG.
std::string ToPng(const TABitmap& s);

}  // namespace mokuren::demo
