#include "text/text_renderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cmath>

#include "graphics/ABitmap.h"
#include "text/font_match.h"

namespace mokuren {

namespace {

constexpr const char* kFamilies[] = {"IPAGothic", "IPAPGothic", "IPAPMincho"};
static_assert(std::size(kFamilies) == static_cast<size_t>(FontName::Count));

uint64_t GlyphKey(char32_t c, const FontSpec& font) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(font.height)) << 33) |
         (static_cast<uint64_t>(font.bold ? 1 : 0) << 32) | c;
}

// Dashes that a writer doubles into one long dash ("――"): the face leaves a little space on each side of
// the bar, so two in a row would show a gap. Their bar is drawn across the whole advance instead.
bool JoinsItsNeighbours(char32_t c) { return c == U'\u2015' || c == U'\u2014' || c == U'\u2500' || c == U'\u2501'; }

// Widens a bar glyph to its whole advance, each row as strong as the row's strongest pixel.
void SpanAdvance(Glyph& g) {
  if (g.width <= 0 || g.advance <= g.width) return;
  std::vector<uint8_t> spanned(static_cast<size_t>(g.advance) * g.rows);
  for (int32_t y = 0; y < g.rows; ++y) {
    const auto row = g.coverage.begin() + static_cast<ptrdiff_t>(y) * g.width;
    const uint8_t strongest = *std::max_element(row, row + g.width);
    std::fill_n(spanned.begin() + static_cast<ptrdiff_t>(y) * g.advance, g.advance, strongest);
  }
  g.coverage = std::move(spanned);
  g.left = 0;
  g.width = g.advance;
}

}  // namespace

const char* FontFamily(FontName name) { return kFamilies[static_cast<size_t>(name)]; }

struct TextRenderer::Face {
  FT_Face face = nullptr;
  int32_t sizedHeight = 0;
  std::unordered_map<uint64_t, Glyph> glyphs;
  // The whole face this one was cut down from (FullerFace), opened the first time a character needs it.
  std::string fullerPath;
  std::unique_ptr<Face> fuller;

  ~Face() {
    fuller.reset();
    if (face) FT_Done_Face(face);
  }

  // The face that draws c: this one, or the whole face when this one lacks c and the whole one has it.
  Face* For(FT_Library lib, char32_t c) {
    if (fullerPath.empty() || c < 0x20 || FT_Get_Char_Index(face, c) != 0) return this;
    if (!fuller) {
      fuller = std::make_unique<Face>();
      if (FT_New_Face(lib, fullerPath.c_str(), 0, &fuller->face) != 0) fuller->face = nullptr;
      if (fuller->face) FT_Select_Charmap(fuller->face, FT_ENCODING_UNICODE);
    }
    return fuller->face && FT_Get_Char_Index(fuller->face, c) != 0 ? fuller.get() : this;
  }

  bool SetHeight(int32_t height) {
    if (sizedHeight == height) return true;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(height)) != 0) return false;
    sizedHeight = height;
    return true;
  }
};

void TextRenderer::LibraryCloser::operator()(void* lib) const { FT_Done_FreeType(static_cast<FT_Library>(lib)); }

TextRenderer::TextRenderer() = default;
TextRenderer::~TextRenderer() {
  for (auto& slot : faces_) slot.face.reset();  // faces before the library
}

bool TextRenderer::Open(std::string& error) {
  if (open_) return true;
  // The matcher is released once the faces are found: they need nothing of it afterwards.
  FontMatcher matcher;
  if (!matcher.Open(error)) return false;
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) != 0) {
    error = "フォント描画ライブラリ（FreeType）を初期化できません。\nFreeType could not be initialised";
    return false;
  }
  library_.reset(lib);
  for (size_t i = 0; i < faces_.size(); ++i) {
    FaceSlot& slot = faces_[i];
    if (!matcher.Find(kFamilies[i], i == 0, slot.path, slot.index)) {
      error =
          "日本語を表示できるフォントがありません。fonts-ipafont-gothic（と "
          "fonts-ipafont-mincho）をインストールしてください。\n"
          "no installed font can show Japanese text; install the package fonts-ipafont-gothic "
          "(and fonts-ipafont-mincho)";
      return false;
    }
    auto face = std::make_unique<Face>();
    if (FT_New_Face(lib, slot.path.c_str(), slot.index, &face->face) != 0) {
      face->face = nullptr;
      error = "フォントファイル " + slot.path +
              " を読み込めません。fonts-ipafont-gothic を再インストールしてください。\nthe font file " + slot.path +
              " cannot be read; reinstall the package fonts-ipafont-gothic";
      return false;
    }
    FT_Select_Charmap(face->face, FT_ENCODING_UNICODE);
    face->fullerPath = FullerFace(slot.path);
    slot.face = std::move(face);
  }
  open_ = true;
  return true;
}

TextRenderer::Face* TextRenderer::FaceFor(FontName name) {
  if (!open_ || name >= FontName::Count) return nullptr;
  return faces_[Index(name)].face.get();
}

int32_t TextRenderer::Ascent(const FontSpec& font) {
  Face* f = FaceFor(font.name);
  if (!f || font.height <= 0) return 0;
  // The cell is split between ascent and descent in the proportions the face gives.
  int32_t asc = f->face->ascender;
  int32_t desc = -f->face->descender;
  if (asc <= 0 || asc + desc <= 0) return font.height * 7 / 8;
  return static_cast<int32_t>(std::lround(static_cast<double>(font.height) * asc / (asc + desc)));
}

const Glyph* TextRenderer::GlyphOf(char32_t c, const FontSpec& font) {
  Face* f = FaceFor(font.name);
  if (!f || font.height <= 0 || font.height > 1000) return nullptr;
  uint64_t key = GlyphKey(c, font);
  auto it = f->glyphs.find(key);
  if (it != f->glyphs.end()) return &it->second;

  Glyph g;
  Face* drawing = f->For(static_cast<FT_Library>(library_.get()), c);
  if (drawing->SetHeight(font.height) &&
      FT_Load_Char(drawing->face, c, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) == 0) {
    FT_GlyphSlot slot = drawing->face->glyph;
    if (font.bold) FT_GlyphSlot_Embolden(slot);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
      const FT_Bitmap& bm = slot->bitmap;
      g.left = slot->bitmap_left;
      g.top = slot->bitmap_top;
      g.width = static_cast<int32_t>(bm.width);
      g.rows = static_cast<int32_t>(bm.rows);
      g.coverage.resize(static_cast<size_t>(g.width) * g.rows);
      for (int32_t y = 0; y < g.rows; ++y) {
        const unsigned char* row = bm.pitch >= 0 ? bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch
                                                 : bm.buffer + static_cast<ptrdiff_t>(g.rows - 1 - y) * -bm.pitch;
        std::copy(row, row + g.width, g.coverage.begin() + static_cast<ptrdiff_t>(y) * g.width);
      }
    }
    g.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
    if (JoinsItsNeighbours(c)) SpanAdvance(g);
  }
  return &f->glyphs.emplace(key, std::move(g)).first->second;
}

int32_t TextRenderer::TextWidth(std::u16string_view text, const FontSpec& font) {
  int32_t w = 0;
  for (char32_t c : ToCodePoints(text)) {
    const Glyph* g = GlyphOf(c, font);
    if (g) w += g->advance;
  }
  return w;
}

template <typename Plot>
int32_t TextRenderer::LayOut(int32_t x, int32_t y, std::u16string_view text, const FontSpec& font, Plot plot) {
  if (!open_) return x;
  const int32_t baseline = y + Ascent(font);
  int32_t pen = x;
  for (char32_t c : ToCodePoints(text)) {
    const Glyph* g = GlyphOf(c, font);
    if (!g) break;
    plot(*g, pen + g->left, baseline - g->top);
    pen += g->advance;
  }
  return pen;
}

namespace {

// c + (target - c) * a / 255, rounded to nearest: the blend of a coverage a toward a target colour.
inline uint8_t Toward(int32_t c, int32_t target, int32_t a) {
  return static_cast<uint8_t>(c + ((target - c) * a + (target >= c ? 127 : -127)) / 255);
}

// The part of a glyph at (gx, gy) that falls inside a width x height picture.
struct GlyphClip {
  int32_t x0, x1, y0, y1;
  GlyphClip(const Glyph& g, int32_t gx, int32_t gy, int32_t width, int32_t height)
      : x0(std::max(0, -gx)),
        x1(std::min(g.width, width - gx)),
        y0(std::max(0, -gy)),
        y1(std::min(g.rows, height - gy)) {}
};

}  // namespace

int32_t TextRenderer::TextOut(TABitmap& target, int32_t x, int32_t y, std::u16string_view text, const FontSpec& font,
                              Rgb colour) {
  const int32_t rgb[3] = {colour.b, colour.g, colour.r};
  return LayOut(x, y, text, font, [&](const Glyph& g, int32_t gx, int32_t gy) {
    if (!target.IsValid()) return;
    const GlyphClip clip(g, gx, gy, target.Width(), target.Height());
    for (int32_t row = clip.y0; row < clip.y1; ++row) {
      uint8_t* dst = target.ScanLine(gy + row) + static_cast<ptrdiff_t>(gx + clip.x0) * 4;
      const uint8_t* cov = g.coverage.data() + static_cast<ptrdiff_t>(row) * g.width + clip.x0;
      for (int32_t col = clip.x0; col < clip.x1; ++col, dst += 4, ++cov) {
        if (*cov == 0) continue;
        for (int k = 0; k < 3; ++k) dst[k] = Toward(dst[k], rgb[k], *cov);
      }
    }
  });
}

int32_t TextRenderer::DrawCoverage(CoverageMask& mask, int32_t x, int32_t y, std::u16string_view text,
                                   const FontSpec& font) {
  return LayOut(x, y, text, font, [&](const Glyph& g, int32_t gx, int32_t gy) { BlendCoverage(mask, g, gx, gy); });
}

void BlendCoverage(CoverageMask& mask, const Glyph& g, int32_t gx, int32_t gy) {
  const GlyphClip clip(g, gx, gy, mask.width, mask.height);
  for (int32_t row = clip.y0; row < clip.y1; ++row) {
    uint8_t* dst = mask.a.data() + static_cast<ptrdiff_t>(gy + row) * mask.width + gx + clip.x0;
    const uint8_t* cov = g.coverage.data() + static_cast<ptrdiff_t>(row) * g.width + clip.x0;
    for (int32_t col = clip.x0; col < clip.x1; ++col, ++dst, ++cov) {
      if (*cov == 0) continue;
      *dst = *dst == 0 ? *cov : Toward(*dst, 255, *cov);
    }
  }
}

void BlendMaskInto(TABitmap& target, const CoverageMask& mask, int32_t x, int32_t y, Rgb colour) {
  if (!target.IsValid()) return;
  const int32_t rgb[3] = {colour.b, colour.g, colour.r};
  const int32_t x0 = std::max(0, -x), x1 = std::min(mask.width, target.Width() - x);
  const int32_t y0 = std::max(0, -y), y1 = std::min(mask.height, target.Height() - y);
  for (int32_t row = y0; row < y1; ++row) {
    uint8_t* dst = target.ScanLine(y + row) + static_cast<ptrdiff_t>(x + x0) * 4;
    const uint8_t* cov = mask.a.data() + static_cast<ptrdiff_t>(row) * mask.width + x0;
    for (int32_t col = x0; col < x1; ++col, dst += 4, ++cov) {
      if (*cov == 0) continue;
      for (int k = 0; k < 3; ++k) dst[k] = Toward(dst[k], rgb[k], *cov);
    }
  }
}

void CoverageMask::Reset(int32_t w, int32_t h) {
  width = std::max(0, w);
  height = std::max(0, h);
  a.assign(static_cast<size_t>(width) * height, 0);
}

}  // namespace mokuren
