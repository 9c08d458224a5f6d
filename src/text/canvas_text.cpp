// The engine's fonts and the canvas text its screens draw (notices, menus, the message and choice layers).
#include "text/canvas_text.h"

#include "base/text_codec.h"
#include "graphics/frame_recorder.h"
#include "platform/platform.h"
#include "text/text_renderer.h"

namespace mokuren {

bool CanvasText::CreateFonts(Platform& platform) {
  Fonts = std::make_shared<TextRenderer>();
  std::string error;
  if (!Fonts->Open(error)) {
    platform.FatalMessage(error);
    return false;
  }
  return true;
}

void CanvasText::CanvasTextOut(TABitmap& target, int32_t x, int32_t y, const std::u16string& text, int32_t height,
                               uint8_t red, uint8_t green, uint8_t blue, bool bold) {
  if (!Fonts || text.empty()) return;
  // Canvases draw through the Japanese code page: what Shift-JIS cannot hold is drawn as "?".
  const FontSpec font{FontName::Gothic, height, bold};
  const Rgb colour{red, green, blue};
  auto draw = [fonts = Fonts, x, y, shown = ThroughCp932(text), font, colour](TABitmap& t) {
    fonts->TextOut(t, x, y, shown, font, colour);
  };
  // On a frame being recorded, the text is one more drawing, told apart by everything it depends on.
  if (FrameRecorder* recorder = target.RecordedBy()) {
    std::u16string key = text;
    for (int32_t v : {x, y, height, int32_t{red}, int32_t{green}, int32_t{blue}, int32_t{bold}})
      key.append({u'\0', static_cast<char16_t>(v >> 16), static_cast<char16_t>(v)});
    if (recorder->RecordText(std::move(key), draw)) return;
  }
  draw(target);
}

void CanvasText::CoverageOut(TABitmap& target, int32_t x, int32_t y, std::shared_ptr<const CoverageMask> mask,
                             const std::u16string& text, uint8_t red, uint8_t green, uint8_t blue) {
  if (!mask || mask->a.empty()) return;
  const Rgb colour{red, green, blue};
  auto draw = [mask, x, y, colour](TABitmap& t) { BlendMaskInto(t, *mask, x, y, colour); };
  if (FrameRecorder* recorder = target.RecordedBy()) {
    // Marked apart from the canvas's own texts, which draw the same words in another face.
    std::u16string key = u"\1" + text;
    for (int32_t v : {x, y, mask->width, mask->height, int32_t{red}, int32_t{green}, int32_t{blue}})
      key.append({u'\0', static_cast<char16_t>(v >> 16), static_cast<char16_t>(v)});
    if (recorder->RecordText(std::move(key), draw)) return;
  }
  draw(target);
}

void CanvasText::DrawTextCoverage(CoverageMask& mask, int32_t width, int32_t height, const std::u16string* lines,
                                  const int32_t* xs, const int32_t* ys, int count, int32_t fontHeight) {
  mask.Reset(width, height);
  if (!Fonts) return;
  for (int i = 0; i < count; ++i) {
    if (lines[i].empty()) continue;
    Fonts->DrawCoverage(mask, xs[i], ys[i], ThroughCp932(lines[i]), FontSpec{FontName::Gothic, fontHeight, false});
  }
}

}  // namespace mokuren
