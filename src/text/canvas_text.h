// The engine's fonts and the text its screens draw with them: notices, menus, the save screen, and the
// coverage masks from which the message and choice layers are built. The main window owns one and hands
// it to whoever draws text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace mokuren {

class Platform;
class TABitmap;
class TextRenderer;
struct CoverageMask;

class CanvasText {
 public:
  // Finds the Japanese faces. False, with the message already shown, when none is installed.
  bool CreateFonts(Platform& platform);

  // Text on a canvas in "ＭＳ ゴシック" with a transparent brush, as the engine's screens draw it: through
  // the Japanese code page, so a character Shift-JIS cannot hold shows as "?". (x, y) is the cell's top
  // left. Nothing is drawn before CreateFonts succeeded.
  void CanvasTextOut(TABitmap& target, int32_t x, int32_t y, const std::u16string& text, int32_t height, uint8_t red,
                     uint8_t green, uint8_t blue, bool bold = false);

  // The same for text already drawn into a coverage mask (a line in a translation's face), its top left at
  // (x, y); `text` tells one such drawing apart from another on a recorded frame.
  void CoverageOut(TABitmap& target, int32_t x, int32_t y, std::shared_ptr<const CoverageMask> mask,
                   const std::u16string& text, uint8_t red, uint8_t green, uint8_t blue);

  // Makes `mask` width x height with no ink, then draws `count` lines in white, through the Japanese code
  // page, line i with its cell's top left at (xs[i], ys[i]).
  void DrawTextCoverage(CoverageMask& mask, int32_t width, int32_t height, const std::u16string* lines,
                        const int32_t* xs, const int32_t* ys, int count, int32_t fontHeight);

  // The rasteriser with its faces and glyph caches; empty until CreateFonts. Shared with the drawings a
  // frame recorder keeps, which may outlive the frame they were made for.
  std::shared_ptr<TextRenderer> Fonts;
};

}  // namespace mokuren
