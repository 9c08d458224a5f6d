// The message and choice layers: glyph coverage turned into 32-bit pictures whose transparency byte
// carries the text, ready to be blended over the scene.
#pragma once

#include <cstdint>
#include <span>

#include "graphics/ABitmap.h"
#include "text/text_renderer.h"

namespace mokuren {

// Makes `layer` the mask's size; pixel (x, y) takes the colour of row y and the transparency 255 minus
// the coverage at (x - dx, y - dy) (none outside the mask). This is, in one pass, what drawing the text
// in white on a black mask at an offset of (dx, dy), inverting the mask and combining it with a sheet
// of those colours gives, as long as no ink was cut off at the mask's top or left edge (the message
// and choice text starts well inside). rowColours holds one colour per row of the mask.
void BuildTextLayer(const CoverageMask& mask, int32_t dx, int32_t dy, std::span<const Rgb> rowColours, TABitmap& layer);

}  // namespace mokuren
