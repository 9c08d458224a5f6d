// The save/load screen's pictures, in the title's night colours. Each page background holds the ten
// page tabs (its own lit), ten slot cards numbered for the page, a side panel naming the mode and the
// page, and the "戻る" button over the close area. The save look is warm, the load look cool; the side
// panel is the same in both, so that the parts sheet's lit "戻る" fits either. The engine writes the
// comments and dates in black, so the cards' text area is pale paper.
#include "art_save.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "art_bitmap.h"
#include "art_lettering.h"

namespace mokuren::demo {

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr int kPanelLeft = 576;  // the side panel
constexpr int kCloseX = 584, kCloseY = 560, kCloseW = 88, kCloseH = 40;

struct Look {
  Colour top, bottom;  // background gradient
  Colour accent;       // lit tab, card edge, heading
  Colour paper;        // the cards' text area
  std::u16string heading, english, hint1, hint2;
};

const Look kSave{
    {0x2a, 0x18, 0x38},    {0x5a, 0x2a, 0x48},     {0xF0, 0xB0, 0x60}, {0xF8, 0xF0, 0xE2}, u"セーブ", u"SAVE",
    u"左クリック：セーブ", u"右クリック：コメント"};
const Look kLoad{{0x10, 0x1e, 0x38},
                 {0x1c, 0x46, 0x5a},
                 {0x80, 0xD0, 0xF0},
                 {0xE8, 0xF2, 0xF6},
                 u"ロード",
                 u"LOAD",
                 u"左クリック：ロード",
                 u""};

std::u16string Ascii(const std::string& s) { return {s.begin(), s.end()}; }

void CloseButton(TABitmap& s, Lettering* text, int x, int y, bool lit) {
  RoundBox(s, x + 4, y + 5, kCloseW - 8, kCloseH - 10, 8, lit ? Colour{0xF0, 0xD0, 0x80} : Colour{0x30, 0x34, 0x4a},
           lit ? 240 : 230);
  if (text)
    Centred(*text, s, x + kCloseW / 2, y + 11, u"戻る", FontSpec{FontName::Gothic, 18, true},
            lit ? Rgb{0x30, 0x20, 0x10} : Rgb{0xE8, 0xE8, 0xF0});
}

// The side panel: the same in both modes apart from its words.
void SidePanel(TABitmap& s, Lettering* text, const Look& look, int page) {
  FillBox(s, kPanelLeft, 0, kWidth - kPanelLeft, kHeight, {0x14, 0x14, 0x1e}, 255);
  FillBox(s, kPanelLeft, 0, 2, kHeight, look.accent, 200);
  CloseButton(s, text, kCloseX, kCloseY, false);
  if (!text) return;
  const Rgb accent{static_cast<uint8_t>(look.accent.r), static_cast<uint8_t>(look.accent.g),
                   static_cast<uint8_t>(look.accent.b)};
  const int cx = (kPanelLeft + kWidth) / 2;
  Centred(*text, s, cx, 40, look.heading, FontSpec{FontName::PMincho, 44, false}, accent);
  Centred(*text, s, cx, 92, look.english, FontSpec{FontName::Gothic, 14, true}, Rgb{0xA0, 0xA0, 0xB8});
  Centred(*text, s, cx, 150, u"ページ", FontSpec{FontName::Gothic, 16, true}, Rgb{0xD8, 0xD8, 0xE4});
  Centred(*text, s, cx, 172, Ascii(std::to_string(page) + " / 10"), FontSpec{FontName::Gothic, 32, true},
          Rgb{0xF4, 0xF4, 0xF8});
  text->TextOut(s, 596, 260, look.hint1, FontSpec{FontName::Gothic, 14, false}, Rgb{0xC8, 0xC8, 0xD8});
  text->TextOut(s, 596, 282, look.hint2, FontSpec{FontName::Gothic, 14, false}, Rgb{0xC8, 0xC8, 0xD8});
  text->TextOut(s, 596, 318, u"NEW = 最新のセーブ", FontSpec{FontName::Gothic, 12, false}, Rgb{0x98, 0x98, 0xB0});
}

void Tabs(TABitmap& s, Lettering* text, const Look& look, int page) {
  for (int p = 1; p <= 10; ++p) {
    const int x = 36 + 53 * (p - 1);
    const bool lit = p == page;
    RoundBox(s, x + 1, 12, 51, 24, 6, lit ? look.accent : Colour{0x0c, 0x0c, 0x18}, lit ? 245 : 150);
    if (text)
      Centred(*text, s, x + 27, 15, Ascii(std::to_string(p)), FontSpec{FontName::Gothic, 18, true},
              lit ? Rgb{0x20, 0x18, 0x18} : Rgb{0xE0, 0xE0, 0xEC});
  }
}

// Slot n's card at the cell whose top-left is (x, y): 260 x 99.
void Card(TABitmap& s, Lettering* text, const Look& look, int n, int x, int y) {
  RoundBox(s, x, y, 260, 99, 6, look.accent, 235);
  RoundBox(s, x + 1, y + 1, 258, 97, 5, look.paper, 255);
  // The thumbnail's well, with a word that the thumbnail covers once the slot is used.
  FillBox(s, x + 2, y + 1, 128, 96, {0x22, 0x22, 0x30}, 255);
  // A rule between the comment and the date.
  FillBox(s, x + 137, y + 76, 116, 1, look.accent, 160);
  if (!text) return;
  Centred(*text, s, x + 66, y + 42, u"NO DATA", FontSpec{FontName::Gothic, 12, true}, Rgb{0x70, 0x70, 0x88});
  const std::u16string number = Ascii((n < 10 ? "No.0" : "No.") + std::to_string(n));
  const Rgb ink{static_cast<uint8_t>(look.accent.r / 2), static_cast<uint8_t>(look.accent.g / 2),
                static_cast<uint8_t>(look.accent.b / 2)};
  text->TextOut(s, x + 135, y + 5, number + (n == 100 ? text->Word(u" クイック") : u""),
                FontSpec{FontName::Gothic, 12, true}, ink);
}

TABitmap PageBackground(Lettering* text, const Look& look, int page) {
  TABitmap s(kWidth, kHeight);
  Gradient(s, look.top, look.bottom);
  Tabs(s, text, look, page);
  for (int cell = 0; cell < 10; ++cell)
    Card(s, text, look, 10 * (page - 1) + cell + 1, cell < 5 ? 32 : 306, 52 + 105 * (cell % 5));
  SidePanel(s, text, look, page);
  return s;
}

// The parts sheet: the lit "戻る" for every page at (0, 40 (page - 1)), and the newest-save marker at
// (0, 400) on a key colour (its top-left pixel), drawn hard-edged because the key allows no blending.
TABitmap PartsSheet(Lettering* text) {
  TABitmap s(kWidth, kHeight);
  for (int page = 1; page <= 10; ++page) {
    const int y = 40 * (page - 1);
    FillBox(s, 0, y, kCloseW, kCloseH, {0x14, 0x14, 0x1e}, 255);
    CloseButton(s, text, 0, y, true);
  }
  FillBox(s, 0, 400, 64, 64, {0xFF, 0x00, 0xFF}, 255);
  // The tag keeps clear of the top-left pixel, which must stay the key colour.
  FillBox(s, 2, 402, 44, 18, {0xE0, 0x30, 0x50}, 255);
  FillBox(s, 2, 419, 44, 1, {0x80, 0x10, 0x28}, 255);
  if (text) Centred(*text, s, 24, 405, u"NEW", FontSpec{FontName::Gothic, 12, true}, Rgb{0xFF, 0xFF, 0xFF});
  return s;
}

}  // namespace

void AddSaveScreenArt(std::map<int, std::string>& sysgrp, const std::string& language) {
  Lettering lettering(language);
  std::string error;
  Lettering* text = lettering.Open(error) ? &lettering : nullptr;  // without fonts: shapes only
  for (int page = 1; page <= 10; ++page) {
    sysgrp[110 + page] = ToPng(PageBackground(text, kSave, page));
    sysgrp[130 + page] = ToPng(PageBackground(text, kLoad, page));
  }
  sysgrp[121] = ToPng(PartsSheet(text));
}

}  // namespace mokuren::demo
