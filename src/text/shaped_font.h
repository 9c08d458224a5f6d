// The face a translation is drawn in, shaped by HarfBuzz (kerning, ligatures, marks) and rasterised by
// FreeType into the same 8-bit glyph coverage the Japanese text uses (text_renderer.h).
//
// Faces, found through fontconfig: DejaVu Sans (fonts-dejavu-core) for Latin, Greek and Cyrillic;
// WenQuanYi Micro Hei (fonts-wqy-microhei) for Chinese and Korean; IPAGothic for Japanese. A character the face lacks
// (the hero's name typed in kana, say) is taken from the Japanese face (IPAGothic) instead.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_renderer.h"

namespace mokuren {

struct ShapedGlyph {
  uint32_t glyph = 0;    // glyph index in its face
  uint8_t face = 0;      // 0 the language's face, 1 the Japanese fallback
  uint32_t cluster = 0;  // index of the first character of the text it shows
  int32_t pen = 0;       // pen position in 1/64 pixel from the start of the text, kerning included
  int32_t advance = 0;   // in 1/64 pixel
  int32_t dx = 0;        // where the glyph is drawn relative to the pen (marks), in 1/64 pixel, y upward
  int32_t dy = 0;
};

class ShapedFont {
 public:
  ShapedFont();
  ~ShapedFont();
  ShapedFont(const ShapedFont&) = delete;
  ShapedFont& operator=(const ShapedFont&) = delete;

  // Finds the face for a language code ("en", "pt_BR", "zh_CN", "ko"). Returns false with a message
  // naming the package to install when no installed face covers the language.
  bool Open(std::string_view language, std::string& error);
  bool IsOpen() const { return faces_[0] != nullptr; }
  const std::string& Path() const { return path_; }

  // Shapes text at a pixel size into `out` (cleared first), in the order of the text.
  void Shape(std::u32string_view text, int32_t pixelSize, std::vector<ShapedGlyph>& out);
  // The glyph of one character without shaping, from the face that has it (cell layouts).
  ShapedGlyph Single(char32_t c, int32_t pixelSize);
  // A glyph's coverage at a pixel size (cached); null when the font is not open.
  const Glyph* Raster(uint8_t face, uint32_t glyph, int32_t pixelSize);
  // Rows from the top of the text's line box (`boxHeight` high) to the baseline, the face centred in it.
  int32_t Baseline(int32_t pixelSize, int32_t boxHeight);

 private:
  struct Face;
  Face* FaceOf(uint8_t face, int32_t pixelSize);

  struct LibraryCloser {
    void operator()(void* lib) const;
  };
  std::unique_ptr<void, LibraryCloser> library_;
  // The language's face and the Japanese one, then the whole faces those two were cut down from
  // (FullerFace), each opened the first time a character needs it.
  std::unique_ptr<Face> faces_[4];
  std::string fullerPaths_[2];
  bool fullerTried_[2] = {false, false};
  std::string path_;
  struct Buffer;
  std::unique_ptr<Buffer> buffer_;
};

}  // namespace mokuren
