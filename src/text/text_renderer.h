// Text output onto 32-bit surfaces, in the way a canvas draws text with a transparent brush: FreeType
// renders anti-aliased coverage, which is blended in one solid colour over what is already there.
// Faces are found by FontMatcher (through fontconfig natively); each face keeps a cache of rendered glyphs
// per size and weight.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/text_codec.h"

namespace mokuren {

class TABitmap;

// The three faces the game's screens name, by their Japanese system names.
enum class FontName : uint8_t {
  Gothic,   // "ＭＳ ゴシック": monospaced, the messages, choices and canvases
  PGothic,  // "ＭＳ Ｐゴシック": proportional, dialogs
  PMincho,  // "ＭＳ Ｐ明朝": proportional serif, the name entry box
  Count
};

// The installed family that stands in for a face (fontconfig falls back to any Japanese one).
const char* FontFamily(FontName name);

struct FontSpec {
  FontName name = FontName::Gothic;
  int32_t height = 28;  // cell height in pixels; a full-width glyph is as wide as the cell is high
  bool bold = false;
};

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

// One rendered glyph: 8-bit coverage rows, placed relative to the pen on the baseline.
struct Glyph {
  int32_t left = 0;  // from the pen to the first column
  int32_t top = 0;   // from the baseline up to the first row
  int32_t width = 0;
  int32_t rows = 0;
  int32_t advance = 0;            // pixels to the next pen position
  std::vector<uint8_t> coverage;  // width * rows
};

// 8-bit glyph coverage: what white text drawn on black leaves in each colour channel. The message and
// choice layers are built from it in one pass instead of through a full 32-bit mask surface.
struct CoverageMask {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> a;  // width * height, 0 = no ink

  // Resizes to w x h (negative sizes give an empty mask) with no ink.
  void Reset(int32_t w, int32_t h);
  uint8_t At(int32_t x, int32_t y) const {
    return x >= 0 && y >= 0 && x < width && y < height ? a[static_cast<size_t>(y) * width + x] : 0;
  }
};

// Blends `colour` into the target by the mask's coverage, the mask's top left at (x, y); byte 3 of the
// surface is left as it is and what falls outside it is skipped, as TextOut draws.
void BlendMaskInto(TABitmap& target, const CoverageMask& mask, int32_t x, int32_t y, Rgb colour);

// Blends one glyph's coverage into the mask with its first column and row at (gx, gy), as DrawCoverage
// does for each glyph; what falls outside the mask is skipped.
void BlendCoverage(CoverageMask& mask, const Glyph& glyph, int32_t gx, int32_t gy);

class TextRenderer {
 public:
  TextRenderer();
  ~TextRenderer();
  TextRenderer(const TextRenderer&) = delete;
  TextRenderer& operator=(const TextRenderer&) = delete;

  // Finds the three faces. Returns false, with a message for the player in error, when no installed face
  // can show Japanese text. A face that is not installed falls back to any Japanese face.
  bool Open(std::string& error);
  bool IsOpen() const { return open_; }
  // The font file each face was resolved to (for the debug window and tests).
  const std::string& FacePath(FontName name) const { return faces_[Index(name)].path; }

  // Draws text with its cell's top-left corner at (x, y), blending colour by coverage; byte 3 of the
  // surface is left as it is. Pixels outside the surface are skipped. Characters the face lacks take
  // the face's missing-glyph box; a face cut down to a game's characters draws them from its whole face. Returns the
  // pen position after the text.
  int32_t TextOut(TABitmap& target, int32_t x, int32_t y, std::u16string_view text, const FontSpec& font, Rgb colour);
  // As TextOut in white on the mask: coverage is blended in as it would be into one channel of a black
  // surface, so the mask holds exactly what TextOut leaves in a white-on-black picture.
  int32_t DrawCoverage(CoverageMask& mask, int32_t x, int32_t y, std::u16string_view text, const FontSpec& font);
  // Width of the text as TextOut would advance.
  int32_t TextWidth(std::u16string_view text, const FontSpec& font);

  // The glyph of one character (cached). Null only when the renderer is not open.
  const Glyph* GlyphOf(char32_t c, const FontSpec& font);
  // Distance from the top of the cell to the baseline.
  int32_t Ascent(const FontSpec& font);

 private:
  struct Face;
  static size_t Index(FontName n) { return static_cast<size_t>(n); }
  Face* FaceFor(FontName name);
  // Calls plot(glyph, left, top) for each glyph of the text laid out from the cell's top-left (x, y);
  // returns the pen position after the text.
  template <typename Plot>
  int32_t LayOut(int32_t x, int32_t y, std::u16string_view text, const FontSpec& font, Plot plot);

  struct FaceSlot {
    std::string path;
    int32_t index = 0;
    std::unique_ptr<Face> face;
  };
  struct LibraryCloser {
    void operator()(void* lib) const;
  };
  std::unique_ptr<void, LibraryCloser> library_;
  std::array<FaceSlot, static_cast<size_t>(FontName::Count)> faces_;
  bool open_ = false;
};

}  // namespace mokuren
