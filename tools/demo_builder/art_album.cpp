// The album's pictures. Every screen stands on the title's night sky (with the demo's magnolia branch).
// The menu and the music room list their items as plates, the sheets holding the same screen with every
// plate lit. A gallery page is ten thumbnail cards on the left and a side panel naming the gallery and the
// page; a slot that the game has no picture or scene for shows a card saying so (it stays locked in
// play, but the debug window's "Album ON" opens it). The galleries' sheets hold the locked card, the hover
// frame around a magenta key and the lit buttons of the bar along the bottom.
#include "art_album.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "art_bitmap.h"
#include "art_lettering.h"
#include "art_title.h"
#include "graphics/png_decoder.h"
#include "menus/album_layout.h"
#include "menus/album_tables.h"

namespace mokuren::demo {

namespace {

using namespace album;

constexpr Colour kKey{0xFF, 0x00, 0xFF};
constexpr Colour kLitPlate{0xF0, 0xD0, 0x80};
constexpr Colour kDimPlate{0x08, 0x0a, 0x18};
constexpr Rgb kLitInk{0x30, 0x20, 0x10};
constexpr Rgb kDimInk{0xF0, 0xF0, 0xF8};

const std::array<std::u16string, 5> kMenuLabels = {u"イベントＣＧ", u"イベントシーン", u"音楽鑑賞",
                                                   u"オープニングムービー", u"タイトルに戻る"};

// The label of the music room's row that plays `track` (8 and 9 share a row), empty when the theme has
// no label for it.
std::u16string RowLabel(const ScreenTheme& theme, int track);

std::u16string Ascii(const std::string& s) { return {s.begin(), s.end()}; }

std::u16string RowLabel(const ScreenTheme& theme, int track) {
  const auto title = theme.tracks.find(track);
  if (title == theme.tracks.end()) return {};
  std::u16string label = title->second;
  // The row's first click plays track 8, the next track 9: the label names them in that order.
  if (const auto second = theme.tracks.find(9); track == 8 && second != theme.tracks.end())
    label += u" → " + second->second;
  return label;
}

// A plate of the menu or the music room, as the title draws its items.
void Plate(TABitmap& s, Lettering* text, int x, int y, int w, int h, const std::u16string& label, bool lit) {
  FillBox(s, x + 2, y + 3, w - 4, h - 6, lit ? kLitPlate : kDimPlate, lit ? 235 : 150);
  const Colour edge = lit ? Colour{0xFF, 0xF4, 0xD0} : Colour{0x90, 0x98, 0xC0};
  FillBox(s, x + 2, y + 3, w - 4, 1, edge, 200);
  FillBox(s, x + 2, y + h - 4, w - 4, 1, edge, 200);
  if (lit) FillBox(s, x + 12, y + h / 2 - 5, 8, 10, {0x60, 0x30, 0x10}, 255);
  if (text)
    text->TextOut(s, x + 32, y + (h - 22) / 2, label, FontSpec{FontName::Gothic, 22, true}, lit ? kLitInk : kDimInk);
}

void Heading(Lettering* text, TABitmap& s, int x, int y, const std::u16string& title, const std::u16string& english) {
  if (!text) return;
  text->TextOut(s, x, y, title, FontSpec{FontName::PMincho, 40, false}, Rgb{0xF8, 0xF0, 0xE8});
  text->TextOut(s, x + 4, y + 48, english, FontSpec{FontName::Gothic, 14, true}, Rgb{0xA8, 0xA8, 0xC8});
}

// ---- Album menu -------------------------------------------------------------------------------------

TABitmap MenuScreen(Lettering* text, const ScreenTheme& theme, bool lit) {
  TABitmap s = ScreenBackdrop(theme);
  if (!lit) {
    Heading(text, s, 48, 14, u"アルバム", u"ALBUM");
    if (text)
      text->TextOut(s, 48, 330, u"見た絵と場面、聴いた曲を、いつでも。", FontSpec{FontName::Gothic, 16, false},
                    Rgb{0xC8, 0xC8, 0xDC});
  }
  for (int k = 1; k <= BackToTitle; ++k)
    if (k != OpeningMovie || theme.movie)
      Plate(s, text, kMenuLeft, MenuItemTop(k), kMenuWidth, kMenuRowHeight, kMenuLabels[static_cast<size_t>(k - 1)],
            lit);
  return s;
}

// ---- Music room -------------------------------------------------------------------------------------

void BackButton(TABitmap& s, Lettering* text, const Area& r, bool lit) {
  RoundBox(s, r.x + 2, r.y + 2, r.w - 4, r.h - 4, 8, lit ? kLitPlate : Colour{0x30, 0x34, 0x4a}, lit ? 240 : 230);
  if (text)
    Centred(*text, s, r.x + r.w / 2, r.y + (r.h - 18) / 2, u"戻る", FontSpec{FontName::Gothic, 18, true},
            lit ? kLitInk : Rgb{0xE8, 0xE8, 0xF0});
}

TABitmap MusicScreen(Lettering* text, const ScreenTheme& theme, bool lit) {
  TABitmap s = ScreenBackdrop(theme);
  // A dark panel behind the list, so the branch does not cross the titles.
  RoundBox(s, 24, 104, 652, 406, 12, {0x06, 0x08, 0x14}, 150);
  if (!lit) {
    Heading(text, s, 40, 16, u"音楽鑑賞", u"MUSIC");
    if (text) {
      const FontSpec hint{FontName::Gothic, 14, false};
      text->TextOut(s, 160, 522, u"同じ曲をもう一度選ぶと、もうひとつのアレンジ（１〜７）", hint,
                    Rgb{0xC8, 0xC8, 0xDC});
      text->TextOut(s, 160, 542, u"08 の段は、選ぶと 08、もう一度で 09（タイトルの曲）。♪が今の曲です。", hint,
                    Rgb{0xC8, 0xC8, 0xDC});
    }
  }
  for (const int track : kMusicRows)
    if (const std::u16string label = RowLabel(theme, track); !label.empty())
      Plate(s, text, kMusicRowLeft, MusicRowTop(track), kMusicRowWidth, kMusicRowHeight, label, lit);
  BackButton(s, text, kMusicBackLook, lit);
  return s;
}

// ---- Galleries ----------------------------------------------------------------------------------------

struct GalleryLook {
  Colour top, bottom, accent;
  std::u16string title, english, hint1, hint2;
};
const GalleryLook kPictureLook{{0x14, 0x18, 0x34}, {0x2c, 0x22, 0x48},  {0xF0, 0xC0, 0x60},     u"イベントＣＧ",
                               u"EVENT PICTURES",  u"クリックで拡大、", u"もう一度で次の差分へ"};
const GalleryLook kSceneLook{{0x1c, 0x14, 0x30}, {0x42, 0x20, 0x3c},        {0xF0, 0x90, 0xA8},     u"イベントシーン",
                             u"EVENT SCENES",    u"選んだ順に番号が付き、", u"番号をもう一度で再生"};

// A picture reduced to a thumbnail by averaging each block of pixels.
void DrawThumbnail(TABitmap& s, int x, int y, const std::string& png) {
  PngImage image;
  std::string error;
  const auto* bytes = reinterpret_cast<const uint8_t*>(png.data());
  if (!DecodePng({bytes, png.size()}, image, error)) return;
  const TABitmap& src = image.pixels;
  for (int ty = 0; ty < kThumbHeight; ++ty)
    for (int tx = 0; tx < kThumbWidth; ++tx) {
      const int x0 = tx * src.Width() / kThumbWidth, x1 = std::max(x0 + 1, (tx + 1) * src.Width() / kThumbWidth);
      const int y0 = ty * src.Height() / kThumbHeight, y1 = std::max(y0 + 1, (ty + 1) * src.Height() / kThumbHeight);
      int sum[3] = {0, 0, 0};
      for (int sy = y0; sy < y1; ++sy)
        for (int sx = x0; sx < x1; ++sx)
          for (int c = 0; c < 3; ++c) sum[c] += src.ScanLine(sy)[sx * 4 + c];
      const int n = (x1 - x0) * (y1 - y0);
      Blend(s, x + tx, y + ty, {sum[2] / n, sum[1] / n, sum[0] / n}, 255);
    }
}

// What a slot shows: a picture's thumbnail (with a scene's title under it), or, for a slot the demo
// leaves empty, a card saying so.
struct SlotContent {
  const std::string* picture = nullptr;
  std::u16string title;
};

void Card(TABitmap& s, Lettering* text, const GalleryLook& look, Point at, const SlotContent& content,
          const std::u16string& emptySlot) {
  RoundBox(s, at.x + 3, at.y + 4, kThumbWidth, kThumbHeight, 4, {0, 0, 0}, 120);  // shadow
  if (content.picture) {
    DrawThumbnail(s, at.x, at.y, *content.picture);
  } else {
    FillBox(s, at.x, at.y, kThumbWidth, kThumbHeight, {0x12, 0x14, 0x26}, 255);
    if (text) {
      Centred(*text, s, at.x + kThumbWidth / 2, at.y + 36, u"NO IMAGE", FontSpec{FontName::Gothic, 16, true},
              Rgb{0x70, 0x74, 0x98});
      if (!emptySlot.empty())
        Centred(*text, s, at.x + kThumbWidth / 2, at.y + 60, emptySlot, FontSpec{FontName::Gothic, 12, false},
                Rgb{0x70, 0x74, 0x98});
    }
  }
  if (!content.title.empty()) {
    FillBox(s, at.x, at.y + kThumbHeight - 24, kThumbWidth, 24, {0x08, 0x08, 0x10}, 170);
    if (text)
      Centred(*text, s, at.x + kThumbWidth / 2, at.y + kThumbHeight - 20, content.title,
              FontSpec{FontName::Gothic, 14, true}, Rgb{0xF8, 0xF4, 0xEC});
  }
  // A fine edge in the gallery's colour.
  for (const Area& edge : {Area{at.x, at.y, kThumbWidth, 1}, Area{at.x, at.y + kThumbHeight - 1, kThumbWidth, 1},
                           Area{at.x, at.y, 1, kThumbHeight}, Area{at.x + kThumbWidth - 1, at.y, 1, kThumbHeight}})
    FillBox(s, edge.x, edge.y, edge.w, edge.h, look.accent, 150);
}

// The bar along the bottom with the page buttons and "戻る", plain or lit.
void ButtonBar(TABitmap& s, Lettering* text, const GalleryLook& look, bool lit) {
  FillBox(s, 0, 560, 528, 40, {0x04, 0x04, 0x0c}, 170);
  const Colour plate = lit ? look.accent : Colour{0x30, 0x34, 0x4a};
  const Rgb ink = lit ? kLitInk : Rgb{0xE8, 0xE8, 0xF0};
  for (const auto& [button, label] : {std::pair{&kPreviousButton, u"◀"}, std::pair{&kNextButton, u"▶"}}) {
    RoundBox(s, button->x + 2, button->y + 2, button->w - 4, button->h - 4, 6, plate, 240);
    if (text)
      Centred(*text, s, button->x + button->w / 2, button->y + 7, label, FontSpec{FontName::Gothic, 18, true}, ink);
  }
  RoundBox(s, kBackButton.x + 2, kBackButton.y + 2, kBackButton.w - 4, kBackButton.h - 4, 8, plate, 240);
  if (text)
    Centred(*text, s, kBackButton.x + kBackButton.w / 2, kBackButton.y + 7, u"戻る",
            FontSpec{FontName::Gothic, 18, true}, ink);
}

TABitmap GalleryBase(const GalleryLook& look) {
  TABitmap s(800, 600);
  Gradient(s, look.top, look.bottom);
  Disc(s, 730, 520, 140, 140, look.accent, 18);  // a faint glow behind the side panel
  return s;
}

TABitmap GalleryPage(Lettering* text, const GalleryLook& look, const ScreenTheme& theme, int page,
                     const std::array<SlotContent, kSlotsPerPage>& slots, const std::array<bool, kSlotsPerPage>& used) {
  TABitmap s = GalleryBase(look);
  for (int slot = 1; slot <= kSlotsPerPage; ++slot)
    if (used[static_cast<size_t>(slot - 1)])
      Card(s, text, look, kSlotCorners[static_cast<size_t>(slot - 1)], slots[static_cast<size_t>(slot - 1)],
           theme.emptySlot);
  // The side panel.
  FillBox(s, 528, 0, 272, 600, {0x08, 0x08, 0x12}, 150);
  FillBox(s, 528, 0, 2, 600, look.accent, 200);
  ButtonBar(s, text, look, false);
  if (!text) return s;
  const Rgb accent{static_cast<uint8_t>(look.accent.r), static_cast<uint8_t>(look.accent.g),
                   static_cast<uint8_t>(look.accent.b)};
  Centred(*text, s, 664, 36, look.title, FontSpec{FontName::PMincho, 32, false}, accent);
  Centred(*text, s, 664, 80, look.english, FontSpec{FontName::Gothic, 14, true}, Rgb{0xA0, 0xA0, 0xB8});
  Centred(*text, s, 664, 140, u"ページ", FontSpec{FontName::Gothic, 16, true}, Rgb{0xD8, 0xD8, 0xE4});
  Centred(*text, s, 664, 162, Ascii(std::to_string(page) + " / 10"), FontSpec{FontName::Gothic, 32, true},
          Rgb{0xF4, 0xF4, 0xF8});
  const FontSpec hint{FontName::Gothic, 14, false};
  text->TextOut(s, 548, 240, look.hint1, hint, Rgb{0xC8, 0xC8, 0xD8});
  text->TextOut(s, 548, 262, look.hint2, hint, Rgb{0xC8, 0xC8, 0xD8});
  text->TextOut(s, 548, 300, u"まだ見ていないものには", hint, Rgb{0x98, 0x98, 0xB0});
  text->TextOut(s, 548, 322, u"鍵がかかっています。", hint, Rgb{0x98, 0x98, 0xB0});
  return s;
}

// The sheet: the locked card, the hover frame on its key colour, and the lit button bar.
TABitmap GallerySheet(Lettering* text, const GalleryLook& look) {
  TABitmap s = GalleryBase(look);
  ButtonBar(s, text, look, true);
  const Area& locked = kLockedLook;
  FillBox(s, locked.x, locked.y, locked.w, locked.h, {0x0a, 0x0c, 0x1a}, 255);
  RoundBox(s, locked.x + 6, locked.y + 6, locked.w - 12, locked.h - 12, 6, {0x1c, 0x20, 0x36}, 255);
  if (text) {
    Centred(*text, s, locked.x + locked.w / 2, locked.y + 22, u"？", FontSpec{FontName::PMincho, 44, false},
            Rgb{0x68, 0x6c, 0x90});
    Centred(*text, s, locked.x + locked.w / 2, locked.y + 74, u"LOCKED", FontSpec{FontName::Gothic, 12, true},
            Rgb{0x68, 0x6c, 0x90});
  }
  // Hard edges only: a blended pixel next to the key colour would not be transparent.
  const Area& frame = kHoverFrame;
  FillBox(s, frame.x, frame.y, frame.w, frame.h, kKey, 255);
  for (int ring = 0; ring < 3; ++ring) {
    const Colour c = ring == 0 ? Colour{0x10, 0x08, 0x04} : look.accent;
    FillBox(s, frame.x + ring, frame.y + ring, frame.w - 2 * ring, 1, c, 255);
    FillBox(s, frame.x + ring, frame.y + frame.h - 1 - ring, frame.w - 2 * ring, 1, c, 255);
    FillBox(s, frame.x + ring, frame.y + ring, 1, frame.h - 2 * ring, c, 255);
    FillBox(s, frame.x + frame.w - 1 - ring, frame.y + ring, 1, frame.h - 2 * ring, c, 255);
  }
  return s;
}

}  // namespace

void AddAlbumArt(std::map<int, std::string>& sysgrp, const std::map<int, DemoPicture>& graphics,
                 const ScreenTheme& theme, const std::string& language) {
  Lettering lettering(language);
  std::string error;
  Lettering* text = lettering.Open(error) ? &lettering : nullptr;  // without fonts: shapes only
  auto picture = [&](int entry) -> const std::string* {
    auto it = graphics.find(entry);
    return it == graphics.end() ? nullptr : &it->second.png;
  };

  sysgrp[kMenuBackground] = ToPng(MenuScreen(text, theme, false));
  sysgrp[kMenuSheet] = ToPng(MenuScreen(text, theme, true));
  sysgrp[kMusicBackground] = ToPng(MusicScreen(text, theme, false));
  sysgrp[kMusicSheet] = ToPng(MusicScreen(text, theme, true));
  for (int page = 1; page <= kPages; ++page) {
    std::array<SlotContent, kSlotsPerPage> pictures, scenes;
    std::array<bool, kSlotsPerPage> hasPicture{}, hasScene{};
    for (size_t i = 0; i < kSlotsPerPage; ++i) {
      const int16_t first = kStandardCgTable[static_cast<size_t>(page - 1)][i][0];
      hasPicture[i] = first != kNone;
      pictures[i].picture = picture(first);
      const int16_t scene = kStandardSceneList[static_cast<size_t>(page - 1) * kSlotsPerPage + i];
      hasScene[i] = scene != kNone;
      for (const SceneCard& s : theme.scenes)
        if (s.script == scene) scenes[i] = {picture(s.picture), s.title};
    }
    sysgrp[PicturePageBackground(page)] = ToPng(GalleryPage(text, kPictureLook, theme, page, pictures, hasPicture));
    sysgrp[ScenePageBackground(page)] = ToPng(GalleryPage(text, kSceneLook, theme, page, scenes, hasScene));
  }
  sysgrp[kPictureSheet] = ToPng(GallerySheet(text, kPictureLook));
  sysgrp[kSceneSheet] = ToPng(GallerySheet(text, kSceneLook));
}

}  // namespace mokuren::demo
