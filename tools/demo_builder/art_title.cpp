// The title screen's pictures. Background: a night gradient, a magnolia branch and the game's name, with
// the five items as dim plates in one column at x 110-417 from y 88, 44 pixels apiece. Sheet: the same
// column with every item lit (the hover looks), and beside item 4 at (418, 220) its switched-on look.
#include "art_title.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "art_bitmap.h"
#include "art_lettering.h"
#include "graphics/ABitmap.h"

namespace mokuren::demo {

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr int kItemX = 110, kItemY = 88, kItemW = 308, kItemH = 44;
constexpr int kSwitchX = 418;  // where the sheet keeps item 4's switched-on look

const std::array<std::u16string, 5> kLabels = {u"はじめから", u"つづきから", u"アルバム", u"ムービー省略",
                                               u"ゲーム終了"};

void NightGradient(TABitmap& s) {
  for (int y = 0; y < kHeight; ++y) {
    const double t = static_cast<double>(y) / (kHeight - 1);
    const Colour c{static_cast<int>(0x18 + t * (0x58 - 0x18)), static_cast<int>(0x1c + t * (0x3c - 0x1c)),
                   static_cast<int>(0x3a + t * (0x70 - 0x3a))};
    for (int x = 0; x < kWidth; ++x) Blend(s, x, y, c, 255);
  }
}

void Branch(TABitmap& s) {
  Disc(s, 660, 110, 46, 46, {0xF4, 0xEE, 0xD8}, 235);  // moon
  // The branch: a thick dark line from the right edge towards the lower left.
  for (double t = 0; t <= 1.0; t += 0.0015) {
    const double x = 800 - 330 * t, y = 40 + 260 * t + 30 * std::sin(t * 5.0);
    Disc(s, x, y, 5.0 - 2.5 * t, 5.0 - 2.5 * t, {0x2a, 0x1c, 0x18}, 255);
  }
  // Blossoms: five pale petals around a warm centre.
  const std::array<std::array<double, 2>, 6> blossoms = {
      {{735, 95}, {660, 180}, {590, 235}, {520, 262}, {700, 150}, {560, 300}}};
  for (const auto& b : blossoms) {
    for (int k = 0; k < 5; ++k) {
      const double a = k * 2.0 * 3.14159265 / 5.0 - 1.2;
      Disc(s, b[0] + 15 * std::cos(a), b[1] + 15 * std::sin(a), 13, 9, {0xF6, 0xE4, 0xEC}, 230);
    }
    Disc(s, b[0], b[1], 6, 6, {0xE8, 0xB0, 0x70}, 255);
  }
}

void Plate(TABitmap& s, Lettering* text, int x, int y, const std::u16string& label, bool lit, bool switchedOn) {
  const Colour fill = lit ? Colour{0xF0, 0xD0, 0x80} : Colour{0x08, 0x0a, 0x18};
  FillBox(s, x + 2, y + 3, kItemW - 4, kItemH - 6, fill, lit ? 235 : 150);
  const Colour edge = lit ? Colour{0xFF, 0xF4, 0xD0} : Colour{0x90, 0x98, 0xC0};
  FillBox(s, x + 2, y + 3, kItemW - 4, 1, edge, 200);
  FillBox(s, x + 2, y + kItemH - 4, kItemW - 4, 1, edge, 200);
  const Rgb ink = lit ? Rgb{0x30, 0x20, 0x10} : Rgb{0xF0, 0xF0, 0xF8};
  if (lit) FillBox(s, x + 12, y + 17, 8, 10, {0x60, 0x30, 0x10}, 255);  // a marker before the lit item
  if (!text) return;
  const FontSpec font{FontName::Gothic, 24, true};
  text->TextOut(s, x + 32, y + 10, label, font, ink);
  if (label == kLabels[3]) {
    const std::u16string state = switchedOn ? u"ＯＮ" : u"ＯＦＦ";
    const Rgb stateInk = switchedOn ? Rgb{0xFF, 0xB0, 0x40} : ink;
    text->TextOut(s, x + kItemW - 16 - text->TextWidth(state, font), y + 10, state, font, stateInk);
  }
}

}  // namespace

void Disc(TABitmap& s, double cx, double cy, double rx, double ry, Colour c, int alpha) {
  for (int y = static_cast<int>(cy - ry) - 1; y <= static_cast<int>(cy + ry) + 1; ++y)
    for (int x = static_cast<int>(cx - rx) - 1; x <= static_cast<int>(cx + rx) + 1; ++x) {
      const double d = std::hypot((x - cx) / rx, (y - cy) / ry);
      if (d < 1.0) Blend(s, x, y, c, static_cast<int>(alpha * std::min(1.0, (1.0 - d) * 4.0)));
    }
}

TABitmap TitleBackdrop() {
  TABitmap s(kWidth, kHeight);
  NightGradient(s);
  Branch(s);
  return s;
}

TABitmap ScreenBackdrop(const ScreenTheme& theme) {
  if (theme.blossoms) return TitleBackdrop();
  TABitmap s(kWidth, kHeight);
  NightGradient(s);
  return s;
}

void AddTitleArt(std::map<int, std::string>& sysgrp, const ScreenTheme& theme, const std::string& language) {
  Lettering lettering(language);
  std::string error;
  Lettering* text = lettering.Open(error) ? &lettering : nullptr;  // without fonts: plates only

  TABitmap background = ScreenBackdrop(theme);
  if (text) {
    // The name as large as fits the width beside the left margin, 52 pixels at most.
    int size = 52;
    while (size > 16 && text->TextWidth(theme.title, FontSpec{FontName::PMincho, size, false}) > kWidth - 112 - 24)
      size -= 2;
    const int end = text->TextOut(background, 112, 20 + (52 - size) / 2, theme.title,
                                  FontSpec{FontName::PMincho, size, false}, Rgb{0xF8, 0xF0, 0xE8});
    // The reading beside the name, after it however long the name is in the pictures' language.
    if (!theme.subtitle.empty())
      text->TextOut(background, std::max(250, end + 16), 44, theme.subtitle, FontSpec{FontName::PMincho, 20, false},
                    Rgb{0xC8, 0xC0, 0xD8});
    if (!theme.credit.empty())
      text->TextOut(background, 560, 570, theme.credit, FontSpec{FontName::Gothic, 14, false}, Rgb{0xA0, 0xA0, 0xC0});
  }
  // A game without a movie leaves the movie switch off its title.
  auto drawn = [&](int k) { return k != 3 || theme.movie; };
  for (int k = 0; k < 5; ++k)
    if (drawn(k)) Plate(background, text, kItemX, kItemY + k * kItemH, kLabels[k], false, false);

  // The sheet starts from the same night sky, so each look copied out of it matches what lies around it.
  TABitmap sheet(kWidth, kHeight);
  NightGradient(sheet);
  for (int k = 0; k < 5; ++k)
    if (drawn(k)) Plate(sheet, text, kItemX, kItemY + k * kItemH, kLabels[k], true, false);
  if (theme.movie) Plate(sheet, text, kSwitchX, kItemY + 3 * kItemH, kLabels[3], false, true);

  sysgrp[61] = ToPng(background);
  sysgrp[63] = ToPng(sheet);
}

}  // namespace mokuren::demo
