// The words on the demo's system pictures, in the language the pictures are drawn for: the Japanese
// original in the engine's Japanese faces, and a translation's words (the demo ships English and
// Russian pictures, tl/LL/SYSGRP.DAT) in the face the engine gives that language, DejaVu Sans for both,
// so that Latin and Cyrillic letters are not drawn full-width.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "graphics/ABitmap.h"
#include "text/shaped_font.h"
#include "text/text_renderer.h"

namespace mokuren::demo {

class Lettering {
 public:
  // "ja" for the original.
  explicit Lettering(std::string language);
  // False, with the reason, when the language's faces are not installed: the pictures are then drawn
  // without words.
  bool Open(std::string& error);
  const std::string& Language() const { return language_; }

  // The picture's word for a Japanese original, in this language (the original itself in Japanese).
  std::u16string Word(std::u16string_view japanese) const;

  // As TextRenderer, the Japanese original's Word drawn: the text's box top-left at (x, y), `font.height`
  // its height; returns the pen after it.
  int32_t TextOut(TABitmap& s, int32_t x, int32_t y, std::u16string_view original, const FontSpec& font, Rgb ink);
  int32_t TextWidth(std::u16string_view original, const FontSpec& font);

 private:
  // The translation's face is drawn a little smaller than the Japanese cell, as its letters fill less of
  // their box.
  static int32_t PixelSize(const FontSpec& font) { return font.height * 4 / 5; }

  std::string language_;
  TextRenderer japanese_;
  std::unique_ptr<ShapedFont> shaped_;
};

}  // namespace mokuren::demo
