// The web build shapes no translated text (it has neither HarfBuzz nor the translations' faces): the face
// never opens, so no translation's layout is made and nothing below Open is reached.
#include "text/shaped_font.h"

namespace mokuren {

struct ShapedFont::Face {};
struct ShapedFont::Buffer {};

void ShapedFont::LibraryCloser::operator()(void*) const {}

ShapedFont::ShapedFont() = default;
ShapedFont::~ShapedFont() = default;

bool ShapedFont::Open(std::string_view language, std::string& error) {
  error = "the browser build has no faces for translations";
  return false;
}

void ShapedFont::Shape(std::u32string_view, int32_t, std::vector<ShapedGlyph>& out) { out.clear(); }
ShapedGlyph ShapedFont::Single(char32_t, int32_t) { return {}; }
const Glyph* ShapedFont::Raster(uint8_t, uint32_t, int32_t) { return nullptr; }
int32_t ShapedFont::Baseline(int32_t, int32_t boxHeight) { return boxHeight; }
ShapedFont::Face* ShapedFont::FaceOf(uint8_t, int32_t) { return nullptr; }

}  // namespace mokuren
