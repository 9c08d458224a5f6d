#include "text/shaped_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>
#include <unordered_map>

#include "text/font_match.h"
#include "text/shaped_face_match.h"

namespace mokuren {

namespace {

struct Wanted {
  const char* family;         // the family asked for first
  const char* fcLanguage;     // fontconfig's language tag
  std::u32string_view probe;  // characters the face must have
  const char* package;        // the Debian package that brings it
};

// The face a language code asks for.
Wanted WantedFor(std::string_view language) {
  std::string base(language.substr(0, language.find_first_of("_-.@")));
  for (char& c : base) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::string_view rest = language.size() > base.size() ? language.substr(base.size() + 1) : "";
  if (base == "zh") {
    const bool traditional = rest.starts_with("TW") || rest.starts_with("HK") || rest.starts_with("MO") ||
                             rest.starts_with("Hant") || rest.starts_with("tw") || rest.starts_with("hk");
    return traditional ? Wanted{"WenQuanYi Micro Hei", "zh-tw", U"中這", "fonts-wqy-microhei"}
                       : Wanted{"WenQuanYi Micro Hei", "zh-cn", U"中这", "fonts-wqy-microhei"};
  }
  if (base == "ko") return {"WenQuanYi Micro Hei", "ko", U"가한", "fonts-wqy-microhei"};
  if (base == "ja") return {"IPAGothic", "ja", U"あ漢", "fonts-ipafont-gothic"};
  if (base == "ru" || base == "uk" || base == "be" || base == "bg" || base == "sr" || base == "mk" || base == "kk")
    return {"DejaVu Sans", "ru", U"AЖё", "fonts-dejavu-core"};
  if (base == "el") return {"DejaVu Sans", "el", U"AΩά", "fonts-dejavu-core"};
  return {"DejaVu Sans", "en", U"Aéß", "fonts-dejavu-core"};
}

uint64_t GlyphKey(uint32_t glyph, int32_t pixelSize) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(pixelSize)) << 32) | glyph;
}

}  // namespace

struct ShapedFont::Face {
  FT_Face ft = nullptr;
  hb_font_t* hb = nullptr;
  int32_t ftSize = 0;
  int32_t hbSize = 0;
  std::unordered_map<uint64_t, Glyph> glyphs;

  ~Face() {
    if (hb) hb_font_destroy(hb);
    if (ft) FT_Done_Face(ft);
  }
  bool SizeFreeType(int32_t px) {
    if (ftSize == px) return true;
    if (FT_Set_Pixel_Sizes(ft, 0, static_cast<FT_UInt>(px)) != 0) return false;
    ftSize = px;
    return true;
  }
  void SizeHarfBuzz(int32_t px) {
    if (hbSize == px) return;
    hb_font_set_scale(hb, px * 64, px * 64);
    hbSize = px;
  }
  // The advance of a glyph in 1/64 pixel, hinted as it will be drawn.
  int32_t Advance(uint32_t glyph, int32_t px) {
    if (!SizeFreeType(px) || FT_Load_Glyph(ft, glyph, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) != 0) return 0;
    return static_cast<int32_t>(ft->glyph->advance.x);
  }
};

struct ShapedFont::Buffer {
  hb_buffer_t* hb = hb_buffer_create();
  ~Buffer() { hb_buffer_destroy(hb); }
};

void ShapedFont::LibraryCloser::operator()(void* lib) const { FT_Done_FreeType(static_cast<FT_Library>(lib)); }

ShapedFont::ShapedFont() : buffer_(std::make_unique<Buffer>()) {}
ShapedFont::~ShapedFont() {
  for (auto& face : faces_) face.reset();  // faces before the library
}

bool ShapedFont::Open(std::string_view language, std::string& error) {
  // Opened again (for another language): the old faces go before their library.
  for (auto& face : faces_) face.reset();
  for (int i = 0; i < 2; ++i) {
    fullerPaths_[i].clear();
    fullerTried_[i] = false;
  }
  library_.reset();
  path_.clear();
  const Wanted wanted = WantedFor(language);
  ShapedFaceMatcher matcher;
  std::string matchError;
  FT_Library lib = nullptr;
  if (!matcher.Open(matchError) || FT_Init_FreeType(&lib) != 0) {
    error = "fontconfig or FreeType could not be initialised";
    return false;
  }
  library_.reset(lib);
  std::string paths[2];
  int indexes[2] = {0, 0};
  if (!matcher.Find(wanted.family, wanted.fcLanguage, wanted.probe, paths[0], indexes[0])) {
    error = "no installed font can show the language \"" + std::string(language) + "\"; install the package " +
            wanted.package;
    return false;
  }
  // The fallback is optional: without it, characters the face lacks show its missing-glyph box.
  matcher.Find("IPAGothic", "ja", U"あ漢", paths[1], indexes[1]);
  for (int i = 0; i < 2; ++i) {
    if (paths[i].empty()) continue;
    auto face = std::make_unique<Face>();
    if (FT_New_Face(lib, paths[i].c_str(), indexes[i], &face->ft) != 0) {
      face->ft = nullptr;
      if (i == 1) continue;
      error = "the font file " + paths[i] + " cannot be read; reinstall the package " + wanted.package;
      return false;
    }
    FT_Select_Charmap(face->ft, FT_ENCODING_UNICODE);
    fullerPaths_[i] = FullerFace(paths[i]);
    if (i == 0) {
      hb_blob_t* blob = hb_blob_create_from_file(paths[i].c_str());
      hb_face_t* hbFace = hb_face_create(blob, static_cast<unsigned>(indexes[i]));
      face->hb = hb_font_create(hbFace);
      hb_face_destroy(hbFace);
      hb_blob_destroy(blob);
    }
    faces_[i] = std::move(face);
  }
  path_ = paths[0];
  return true;
}

ShapedFont::Face* ShapedFont::FaceOf(uint8_t face, int32_t pixelSize) {
  if (face >= std::size(faces_) || pixelSize <= 0 || pixelSize > 1000) return nullptr;
  if (face >= 2 && !fullerTried_[face - 2] && !fullerPaths_[face - 2].empty()) {
    fullerTried_[face - 2] = true;
    auto whole = std::make_unique<Face>();
    if (FT_New_Face(static_cast<FT_Library>(library_.get()), fullerPaths_[face - 2].c_str(), 0, &whole->ft) == 0) {
      FT_Select_Charmap(whole->ft, FT_ENCODING_UNICODE);
      faces_[face] = std::move(whole);
    } else {
      whole->ft = nullptr;
    }
  }
  return faces_[face].get();
}

void ShapedFont::Shape(std::u32string_view text, int32_t pixelSize, std::vector<ShapedGlyph>& out) {
  out.clear();
  Face* main = FaceOf(0, pixelSize);
  if (!main || text.empty()) return;
  main->SizeHarfBuzz(pixelSize);
  hb_buffer_t* buf = buffer_->hb;
  hb_buffer_clear_contents(buf);
  hb_buffer_add_utf32(buf, reinterpret_cast<const uint32_t*>(text.data()), static_cast<int>(text.size()), 0,
                      static_cast<int>(text.size()));
  hb_buffer_guess_segment_properties(buf);
  hb_shape(main->hb, buf, nullptr, 0);
  unsigned count = 0;
  const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buf, &count);
  const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buf, &count);
  out.reserve(count);
  int32_t pen = 0;
  for (unsigned i = 0; i < count; ++i) {
    ShapedGlyph g{info[i].codepoint, 0, info[i].cluster, pen, pos[i].x_advance, pos[i].x_offset, pos[i].y_offset};
    // A character the face lacks comes unshaped from the Japanese face, else from the whole faces the two
    // were cut down from.
    for (uint8_t f = 1; g.glyph == 0 && g.cluster < text.size() && f < std::size(faces_); ++f) {
      Face* other = FaceOf(f, pixelSize);
      if (!other) continue;
      if (const FT_UInt glyph = FT_Get_Char_Index(other->ft, text[g.cluster]))
        g = {glyph, f, g.cluster, pen, other->Advance(glyph, pixelSize)};
    }
    pen += g.advance;
    out.push_back(g);
  }
}

ShapedGlyph ShapedFont::Single(char32_t c, int32_t pixelSize) {
  for (uint8_t f = 0; f < std::size(faces_); ++f) {
    Face* face = FaceOf(f, pixelSize);
    if (!face) continue;
    if (const FT_UInt glyph = FT_Get_Char_Index(face->ft, c)) return {glyph, f, 0, 0, face->Advance(glyph, pixelSize)};
  }
  Face* main = FaceOf(0, pixelSize);
  return {0, 0, 0, 0, main ? main->Advance(0, pixelSize) : 0};
}

const Glyph* ShapedFont::Raster(uint8_t face, uint32_t glyph, int32_t pixelSize) {
  Face* f = FaceOf(face, pixelSize);
  if (!f) return nullptr;
  const uint64_t key = GlyphKey(glyph, pixelSize);
  auto it = f->glyphs.find(key);
  if (it != f->glyphs.end()) return &it->second;
  Glyph g;
  if (f->SizeFreeType(pixelSize) && FT_Load_Glyph(f->ft, glyph, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) == 0 &&
      FT_Render_Glyph(f->ft->glyph, FT_RENDER_MODE_NORMAL) == 0) {
    const FT_GlyphSlot slot = f->ft->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int32_t>(bm.width);
    g.rows = static_cast<int32_t>(bm.rows);
    g.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
    g.coverage.resize(static_cast<size_t>(g.width) * g.rows);
    for (int32_t y = 0; y < g.rows; ++y) {
      const unsigned char* row = bm.pitch >= 0 ? bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch
                                               : bm.buffer + static_cast<ptrdiff_t>(g.rows - 1 - y) * -bm.pitch;
      std::copy(row, row + g.width, g.coverage.begin() + static_cast<ptrdiff_t>(y) * g.width);
    }
  }
  return &f->glyphs.emplace(key, std::move(g)).first->second;
}

int32_t ShapedFont::Baseline(int32_t pixelSize, int32_t boxHeight) {
  Face* main = FaceOf(0, pixelSize);
  if (!main) return boxHeight * 7 / 8;
  main->SizeHarfBuzz(pixelSize);
  hb_font_extents_t extents{};
  hb_font_get_h_extents(main->hb, &extents);
  const double ascent = extents.ascender / 64.0, descent = -extents.descender / 64.0;
  if (ascent <= 0 || ascent + descent <= 0) return boxHeight * 7 / 8;
  return static_cast<int32_t>(std::lround((boxHeight - (ascent + descent)) / 2 + ascent));
}

}  // namespace mokuren
