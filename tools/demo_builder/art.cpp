// The demo game's pictures, drawn procedurally: soft gradients, shapes with anti-aliased edges and real
// transparency, so that the cross-fades, the layers and the message window have something to show.
// Everything is deterministic: the same build gives the same bytes.
#include "art.h"
#include "art_album.h"
#include "art_save.h"
#include "art_title.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <iostream>
#include <string_view>
#include <vector>

#include "menus/album_tables.h"
#include "toolkit/png_writer.h"

namespace mokuren::demo {

namespace {

// Straight (not premultiplied) colour, 0..1 per channel.
struct Rgba {
  float r = 0, g = 0, b = 0, a = 1;
};

Rgba Hex(uint32_t rgb, float a = 1) {
  return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f, a};
}

Rgba Mix(Rgba x, Rgba y, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

class Canvas {
 public:
  Canvas(int w, int h, Rgba fill = {0, 0, 0, 0}) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, fill) {}

  int Width() const { return w_; }
  int Height() const { return h_; }
  Rgba& At(int x, int y) { return px_[static_cast<size_t>(y) * w_ + x]; }
  const Rgba& At(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }

  // Composites `c` with `coverage` over the pixel ("over" in straight alpha).
  void Over(int x, int y, Rgba c, float coverage) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    const float sa = std::clamp(c.a * coverage, 0.0f, 1.0f);
    if (sa <= 0) return;
    Rgba& d = At(x, y);
    const float da = d.a * (1 - sa);
    const float oa = sa + da;
    d = {(c.r * sa + d.r * da) / oa, (c.g * sa + d.g * da) / oa, (c.b * sa + d.b * da) / oa, oa};
  }

  // Fills the shape whose signed distance (pixels, negative inside) is `sdf`, with an anti-aliased edge
  // `soft` pixels wide, in the colour `paint` gives for each point.
  void Fill(int x0, int y0, int x1, int y1, const std::function<float(float, float)>& sdf,
            const std::function<Rgba(float, float)>& paint, float soft = 1.2f) {
    for (int y = std::max(0, y0); y < std::min(h_, y1); ++y)
      for (int x = std::max(0, x0); x < std::min(w_, x1); ++x) {
        const float fx = x + 0.5f, fy = y + 0.5f;
        const float coverage = std::clamp(0.5f - sdf(fx, fy) / soft, 0.0f, 1.0f);
        if (coverage > 0) Over(x, y, paint(fx, fy), coverage);
      }
  }
  void Fill(int x0, int y0, int x1, int y1, const std::function<float(float, float)>& sdf, Rgba colour,
            float soft = 1.2f) {
    Fill(
        x0, y0, x1, y1, sdf, [colour](float, float) { return colour; }, soft);
  }

  std::string Png() const {
    std::vector<uint8_t> rgba(px_.size() * 4);
    for (size_t i = 0; i < px_.size(); ++i) {
      const Rgba& p = px_[i];
      rgba[i * 4 + 0] = static_cast<uint8_t>(std::lround(std::clamp(p.r, 0.0f, 1.0f) * 255));
      rgba[i * 4 + 1] = static_cast<uint8_t>(std::lround(std::clamp(p.g, 0.0f, 1.0f) * 255));
      rgba[i * 4 + 2] = static_cast<uint8_t>(std::lround(std::clamp(p.b, 0.0f, 1.0f) * 255));
      rgba[i * 4 + 3] = static_cast<uint8_t>(std::lround(std::clamp(p.a, 0.0f, 1.0f) * 255));
    }
    return toolkit::EncodePng(w_, h_, rgba);
  }

 private:
  int w_, h_;
  std::vector<Rgba> px_;
};

// ---- Shapes as signed distances --------------------------------------------------------------------

auto Circle(float cx, float cy, float r) {
  return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}

// An approximate ellipse distance, good enough for soft edges of a pixel or two.
auto Ellipse(float cx, float cy, float rx, float ry) {
  return [=](float x, float y) {
    const float k = std::hypot((x - cx) / rx, (y - cy) / ry);
    return (k - 1) * std::min(rx, ry);
  };
}

auto RoundRect(float x0, float y0, float x1, float y1, float radius) {
  return [=](float x, float y) {
    const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - radius;
  };
}

// A small deterministic hash for scattered details (windows, stars).
uint32_t Hash(uint32_t v) {
  v ^= v >> 16;
  v *= 0x7feb352dU;
  v ^= v >> 15;
  v *= 0x846ca68bU;
  v ^= v >> 16;
  return v;
}

void VerticalGradient(Canvas& c, std::initializer_list<std::pair<float, Rgba>> stops) {
  const std::vector<std::pair<float, Rgba>> s(stops);
  for (int y = 0; y < c.Height(); ++y) {
    const float t = (y + 0.5f) / c.Height();
    Rgba col = s.front().second;
    for (size_t i = 1; i < s.size(); ++i)
      if (t <= s[i].first) {
        col = Mix(s[i - 1].second, s[i].second, (t - s[i - 1].first) / (s[i].first - s[i - 1].first));
        break;
      } else {
        col = s[i].second;
      }
    for (int x = 0; x < c.Width(); ++x) c.At(x, y) = col;
  }
}

// A soft glow: a disc whose opacity falls off from the centre.
void Glow(Canvas& c, float cx, float cy, float r, Rgba colour) {
  for (int y = std::max(0, int(cy - r)); y < std::min(c.Height(), int(cy + r) + 1); ++y)
    for (int x = std::max(0, int(cx - r)); x < std::min(c.Width(), int(cx + r) + 1); ++x) {
      const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / r;
      if (d < 1) c.Over(x, y, colour, (1 - d) * (1 - d));
    }
}

// A ridge of hills: everything below y = base + amplitude * (sum of sines) gets the colour.
void Hills(Canvas& c, float base, float amplitude, float phase, Rgba top, Rgba bottom) {
  for (int x = 0; x < c.Width(); ++x) {
    const float fx = x + 0.5f;
    const float ridge = base - amplitude * (0.6f * std::sin(fx / 140 + phase) + 0.3f * std::sin(fx / 57 + 2 * phase) +
                                            0.1f * std::sin(fx / 23 + phase * 3));
    for (int y = std::max(0, int(ridge) - 1); y < c.Height(); ++y) {
      const float coverage = std::clamp(y + 0.5f - ridge + 0.5f, 0.0f, 1.0f);
      c.Over(x, y, Mix(top, bottom, (y - ridge) / (c.Height() - ridge + 1)), coverage);
    }
  }
}

void Cloud(Canvas& c, float cx, float cy, float scale, float alpha) {
  const Rgba white = Hex(0xFFFFFF, alpha);
  const std::array<std::array<float, 3>, 6> puffs = {
      {{-60, 10, 34}, {-25, -8, 44}, {20, -14, 50}, {62, 4, 36}, {0, 16, 40}, {-95, 20, 22}}};
  for (const auto& p : puffs) {
    const float x = cx + p[0] * scale, y = cy + p[1] * scale, r = p[2] * scale;
    c.Fill(
        int(x - r - 4), int(y - r - 4), int(x + r + 4), int(y + r + 4), Circle(x, y, r),
        [&](float, float fy) { return Mix(white, Hex(0xDDE6F4, alpha), (fy - (y - r)) / (2 * r)); }, 6.0f);
  }
}

// ---- Scenario pictures -----------------------------------------------------------------------------

Canvas MorningSky() {
  Canvas c(800, 600);
  VerticalGradient(c, {{0.0f, Hex(0x6FA8E8)}, {0.55f, Hex(0xBFDDF5)}, {0.72f, Hex(0xF6EAD4)}, {1.0f, Hex(0xEADBC0)}});
  Glow(c, 620, 130, 230, Hex(0xFFF6D8, 0.55f));
  c.Fill(560, 70, 680, 190, Circle(620, 130, 42), Hex(0xFFFBEA), 2.0f);
  Cloud(c, 180, 120, 1.0f, 0.9f);
  Cloud(c, 470, 210, 0.7f, 0.75f);
  Cloud(c, 720, 300, 0.55f, 0.6f);
  Hills(c, 400, 40, 0.3f, Hex(0x8FB3C9), Hex(0xA9C4CF));
  Hills(c, 455, 34, 2.1f, Hex(0x5E9A78), Hex(0x7DB08A));
  Hills(c, 520, 22, 4.0f, Hex(0x4A7F4F), Hex(0x3C6B44));
  return c;
}

Canvas EveningStreet() {
  Canvas c(800, 600);
  VerticalGradient(c, {{0.0f, Hex(0x1B2350)},
                       {0.4f, Hex(0x6A3F7A)},
                       {0.62f, Hex(0xE0785A)},
                       {0.75f, Hex(0xF2B36B)},
                       {1.0f, Hex(0x2A2230)}});
  // A few early stars.
  for (uint32_t i = 0; i < 60; ++i) {
    const int x = static_cast<int>(Hash(i * 2 + 1) % 800), y = static_cast<int>(Hash(i * 2 + 2) % 200);
    c.Over(x, y, Hex(0xFFFFFF), 0.3f + (Hash(i) % 50) / 100.0f);
  }
  Glow(c, 400, 450, 380, Hex(0xFFB070, 0.35f));
  // Buildings on both sides, windows lit here and there.
  int x = 0;
  for (uint32_t i = 0; x < 800; ++i) {
    const int w = 60 + static_cast<int>(Hash(i + 100) % 70);
    const bool middle = x > 300 && x < 470;
    const int top = middle ? 400 - static_cast<int>(Hash(i + 7) % 40) : 150 + static_cast<int>(Hash(i + 200) % 180);
    const Rgba wall = Mix(Hex(0x241B33), Hex(0x3A2B45), (Hash(i + 300) % 100) / 100.0f);
    c.Fill(x, top, x + w - 3, 600, RoundRect(x + 0.0f, top + 0.0f, x + w - 4.0f, 620.0f, 2), wall, 1.0f);
    for (int wy = top + 14; wy < 500; wy += 26)
      for (int wx = x + 10; wx + 12 < x + w - 6; wx += 20)
        if (Hash(static_cast<uint32_t>(wx * 131 + wy * 7)) % 3 == 0)
          c.Fill(wx, wy, wx + 12, wy + 14, RoundRect(wx + 0.0f, wy + 0.0f, wx + 10.0f, wy + 12.0f, 1),
                 Hex(0xFFD68A, 0.9f), 1.0f);
    x += w;
  }
  // The street and its lamps.
  for (int y = 500; y < 600; ++y)
    for (int px = 0; px < 800; ++px) c.Over(px, y, Mix(Hex(0x3B3140), Hex(0x1E1822), (y - 500) / 100.0f), 1);
  for (int lamp : {120, 400, 680}) {
    c.Fill(lamp - 3, 380, lamp + 3, 520, RoundRect(lamp - 2.0f, 380, lamp + 2.0f, 520, 1), Hex(0x15101A), 1.0f);
    Glow(c, lamp, 378, 70, Hex(0xFFE2A0, 0.7f));
    c.Fill(lamp - 10, 368, lamp + 10, 390, Circle(lamp, 378, 7), Hex(0xFFF4D0), 1.5f);
  }
  return c;
}

// The school gate at sunset: the sun low over the school building, the gate's stone pillars in the
// wall, and the slope that runs down from the gate towards the viewer.
Canvas SchoolGateAtSunset() {
  Canvas c(800, 600);
  VerticalGradient(c, {{0.0f, Hex(0x6A5A9A)},
                       {0.28f, Hex(0xE48A6A)},
                       {0.5f, Hex(0xF9C47C)},
                       {0.62f, Hex(0xFCE3A8)},
                       {1.0f, Hex(0xE9A070)}});
  Glow(c, 480, 180, 300, Hex(0xFFE2A0, 0.6f));
  c.Fill(430, 130, 530, 230, Circle(480, 180, 42), Hex(0xFFF2C8), 2.0f);
  Cloud(c, 200, 110, 0.8f, 0.35f);
  Cloud(c, 640, 80, 0.6f, 0.3f);
  // The school building against the light, its windows catching the sun, and the clock in its tower.
  const Rgba building = Hex(0x7A4E5C), lit = Hex(0xFFC98A, 0.85f);
  c.Fill(60, 250, 740, 420, RoundRect(60, 250, 740, 430, 3), building, 1.0f);
  c.Fill(350, 190, 450, 260, RoundRect(352, 190, 448, 262, 3), building, 1.0f);
  c.Fill(380, 200, 420, 240, Circle(400, 220, 15), Hex(0xF4E2C0), 1.5f);
  for (int row = 0; row < 3; ++row)
    for (int wx = 80; wx + 30 < 730; wx += 46) {
      const int wy = 268 + row * 44;
      c.Fill(wx, wy, wx + 30, wy + 24, RoundRect(wx + 0.0f, wy + 0.0f, wx + 30.0f, wy + 24.0f, 2),
             Hash(static_cast<uint32_t>(wx + row * 977)) % 4 == 0 ? Hex(0x5A3846) : lit, 1.0f);
    }
  // The ground in front of the school, then the wall with the gate's opening in the middle.
  for (int y = 420; y < 600; ++y)
    for (int x = 0; x < 800; ++x) c.Over(x, y, Mix(Hex(0xB5785E), Hex(0x6A4048), (y - 420) / 180.0f), 1);
  const Rgba wall = Hex(0xC9A48E), wallShade = Hex(0x8E6A66);
  for (const auto& [x0, x1] : {std::pair{0, 318}, std::pair{482, 800}}) {
    c.Fill(
        x0, 380, x1, 452, RoundRect(x0 - 4.0f, 380, x1 + 4.0f, 452, 2),
        [&](float, float y) { return Mix(wall, wallShade, (y - 380) / 72); }, 1.0f);
    c.Fill(x0, 372, x1, 386, RoundRect(x0 - 4.0f, 372, x1 + 4.0f, 386, 2), Hex(0x6E4A52), 1.0f);
  }
  // The slope: a road that widens as it comes down from the gate.
  c.Fill(
      0, 440, 800, 600,
      [](float x, float y) {
        const float t = (y - 440) / 160, half = 95 + 260 * t;
        return std::max(std::fabs(x - 400) - half, 440 - y);
      },
      [](float, float y) { return Mix(Hex(0xD29A76), Hex(0x7E5058), (y - 440) / 160); }, 1.5f);
  // The pillars, the left one with the school's name plate, and their long shadows on the slope.
  for (float px : {300.0f, 500.0f}) {
    c.Fill(
        int(px) - 26, 300, int(px) + 26, 462, RoundRect(px - 22, 300, px + 22, 462, 3),
        [&](float x, float) { return Mix(Hex(0xE2C6AE), Hex(0x9A7470), (x - (px - 22)) / 44); }, 1.0f);
    c.Fill(int(px) - 30, 290, int(px) + 30, 310, RoundRect(px - 27, 292, px + 27, 308, 3), Hex(0x7A5058), 1.0f);
    c.Fill(
        int(px) - 10, 462, int(px) + 180, 600,
        [=](float x, float y) { return std::fabs(x - (px + (y - 462) * 0.9f)) - 14 - (y - 462) * 0.05f; },
        Hex(0x4A2A3A, 0.25f), 4.0f);
  }
  c.Fill(286, 330, 314, 420, RoundRect(288, 330, 312, 420, 2), Hex(0xF4EAD8), 1.0f);
  for (int k = 0; k < 4; ++k)
    c.Fill(292, 340 + k * 20, 308, 352 + k * 20, RoundRect(294, 340 + k * 20.0f, 306, 350 + k * 20.0f, 1),
           Hex(0x3A2A30), 1.0f);
  Glow(c, 480, 180, 180, Hex(0xFFD8A0, 0.25f));
  return c;
}

// A character on an 800x600 transparent picture, centred, so that the layer positions -200 / 0 / +200
// put it left, centre and right.
Canvas Character(uint32_t hair, uint32_t uniform, uint32_t ribbon, bool longHair) {
  Canvas c(800, 600);
  const float cx = 400;
  const Rgba skin = Hex(0xF8DCC8), skinShade = Hex(0xEBC2AA);
  const Rgba hairCol = Hex(hair), hairDark = Mix(Hex(hair), Hex(0x000000), 0.35f);
  // Hair behind the head.
  if (longHair)
    c.Fill(
        250, 80, 550, 470, RoundRect(cx - 118, 110, cx + 118, 460, 90),
        [&](float, float y) { return Mix(hairCol, hairDark, (y - 110) / 350); }, 2.0f);
  // Body: a blazer widening from the shoulders, a white shirt in its V-neck and a ribbon.
  const Rgba cloth = Hex(uniform), clothDark = Mix(Hex(uniform), Hex(0x000000), 0.35f);
  auto body = [&](float x, float y) {
    const float trunk = std::max(std::fabs(x - cx) - (118 + (y - 300) * 0.14f), 330 - y);
    const float shoulders = Ellipse(cx, 348, 132, 52)(x, y);
    // A smooth union, so the shoulders flow into the trunk without a seam.
    const float k = 24, h = std::max(k - std::fabs(trunk - shoulders), 0.0f) / k;
    return std::min(trunk, shoulders) - h * h * k / 4;
  };
  c.Fill(
      200, 270, 600, 600, body,
      [&](float x, float y) { return Mix(cloth, clothDark, std::fabs(x - cx) / 170 + (y - 290) / 1200); }, 2.0f);
  c.Fill(350, 230, 450, 320, RoundRect(cx - 26, 230, cx + 26, 310, 12), skinShade, 1.5f);  // neck
  c.Fill(
      320, 280, 480, 420, [&](float x, float y) { return std::max(std::fabs(x - cx) - (400 - y) * 0.55f, 292 - y); },
      Hex(0xF4F6FA), 1.5f);
  c.Fill(
      370, 280, 430, 320,
      [&](float x, float y) {  // the open collar shows a little skin
        return std::max(std::fabs(x - cx) - (322 - y) * 0.7f, 282 - y);
      },
      skinShade, 1.5f);
  c.Fill(360, 300, 440, 360, Ellipse(cx - 17, 330, 20, 11), Hex(ribbon), 1.5f);
  c.Fill(360, 300, 440, 360, Ellipse(cx + 17, 330, 20, 11), Hex(ribbon), 1.5f);
  c.Fill(380, 315, 420, 345, Circle(cx, 330, 8), Mix(Hex(ribbon), Hex(0x000000), 0.2f), 1.5f);
  // Head.
  c.Fill(
      300, 90, 500, 290, Ellipse(cx, 185, 82, 96),
      [&](float, float y) { return Mix(skin, skinShade, (y - 120) / 180); }, 2.0f);
  // Eyes with highlights, brows, mouth, a little blush.
  for (float side : {-1.0f, 1.0f}) {
    const float ex = cx + side * 32;
    c.Fill(
        int(ex) - 16, 180, int(ex) + 16, 230, Ellipse(ex, 205, 12, 17),
        [&](float, float y) { return Mix(Hex(0x3A2A4A), Hex(0x7A5A9A), (y - 190) / 30); }, 1.5f);
    c.Fill(int(ex) - 10, 188, int(ex) + 6, 206, Circle(ex - 4, 197, 4.5f), Hex(0xFFFFFF), 1.2f);
    c.Fill(int(ex) - 20, 170, int(ex) + 20, 182, RoundRect(ex - 14, 173, ex + 14, 177, 2), hairDark, 1.5f);
    Glow(c, ex + side * 10, 238, 16, Hex(0xFF8C8C, 0.35f));
  }
  c.Fill(385, 240, 415, 260, Ellipse(cx, 248, 8, 3.5f), Hex(0xC8606A), 1.2f);
  // Fringe over the forehead, drawn last so it lies on the face: scalloped, longer towards the sides.
  c.Fill(
      300, 70, 500, 220,
      [&](float x, float y) {
        const float cap = Ellipse(cx, 168, 90, 100)(x, y);
        const float dx = x - cx;
        const float edge = 140 + 9 * std::fabs(std::sin(dx / 15.0f)) + 0.0045f * dx * dx;
        return std::max(cap, y - edge);
      },
      [&](float, float y) { return Mix(hairCol, hairDark, (y - 80) / 120); }, 2.0f);
  if (longHair)
    for (float side : {-1.0f, 1.0f})
      c.Fill(
          int(cx + side * 84) - 20, 150, int(cx + side * 84) + 20, 330, Ellipse(cx + side * 84, 235, 14, 85),
          [&](float, float y) { return Mix(hairCol, hairDark, (y - 150) / 180); }, 2.0f);
  return c;
}

// ---- System pictures -------------------------------------------------------------------------------

// The message window's panel, translucent (frame) or opaque (the floating window's background). It runs
// to the bottom and both sides of its 800x184 rectangle, so the button row along its bottom (rows
// 164-183, x 160-799) lies inside it; the fine border frames the text above the row.
void Panel(Canvas& c, int top, bool opaque) {
  const float alpha = opaque ? 1.0f : 0.78f;
  c.Fill(
      0, top, 800, top + 184, RoundRect(0, top + 2.0f, 800, top + 230.0f, 14),
      [&](float, float y) { return Mix(Hex(0x1A2448, alpha), Hex(0x0C1026, alpha), (y - top) / 184); }, 1.5f);
  c.Fill(
      0, top, 800, top + 184,
      [&](float x, float y) { return std::fabs(RoundRect(8, top + 7.0f, 792, top + 161.0f, 12)(x, y)) - 0.8f; },
      Hex(0xBFD4FF, 0.55f), 1.2f);
}

// A 5x7 pixel font for the button labels.
const std::array<std::string_view, 7>* Glyph(char ch) {
  static const std::pair<char, std::array<std::string_view, 7>> kGlyphs[] = {
      {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
      {'B', {"#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "}},
      {'C', {" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "}},
      {'D', {"#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "}},
      {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
      {'G', {" ### ", "#   #", "#    ", "# ###", "#   #", "#   #", " ####"}},
      {'I', {" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
      {'K', {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"}},
      {'L', {"#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"}},
      {'M', {"#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"}},
      {'O', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
      {'P', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
      {'Q', {" ### ", "#   #", "#   #", "#   #", "# # #", "#  # ", " ## #"}},
      {'S', {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "}},
      {'T', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "}},
      {'U', {"#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
      {'V', {"#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "}},
      {'.', {"     ", "     ", "     ", "     ", "     ", " ##  ", " ##  "}},
  };
  for (const auto& [c, rows] : kGlyphs)
    if (c == ch) return &rows;
  return nullptr;
}

void Label(Canvas& c, std::string_view text, int cx, int top, Rgba colour) {
  const int width = static_cast<int>(text.size()) * 6 - 1;
  int x = cx - width / 2;
  for (char ch : text) {
    if (const auto* rows = Glyph(ch))
      for (int gy = 0; gy < 7; ++gy)
        for (int gx = 0; gx < 5; ++gx)
          if ((*rows)[static_cast<size_t>(gy)][static_cast<size_t>(gx)] == '#') {
            c.Over(x + gx + 1, top + gy + 1, Hex(0x000000, 0.6f), 1);  // shadow
            c.Over(x + gx, top + gy, colour, 1);
          }
    x += 6;
  }
}

// Button k (3-10) in state s: 0 normal, 1 hover, 2 on, 3 on and hover, 4 disabled.
std::string Button(int k, int s) {
  static constexpr std::string_view kLabels[] = {"",       "",     "BGM",  "VOICE", "Q.SAVE",
                                                 "Q.LOAD", "SAVE", "LOAD", "SKIP",  "AUTO"};
  static const Rgba kFill[] = {Hex(0x1E2846, 0.8f), Hex(0x46649E, 0.92f), Hex(0xC07828, 0.88f), Hex(0xEFA048, 0.95f),
                               Hex(0x3C3C3C, 0.5f)};
  static const Rgba kText[] = {Hex(0xDCE6FF), Hex(0xFFFFFF), Hex(0xFFFFFF), Hex(0xFFFFFF), Hex(0x8C8C8C)};
  Canvas c(64, 20);
  c.Fill(
      0, 0, 64, 20, RoundRect(1.5f, 1.5f, 62.5f, 18.5f, 8),
      [&](float, float y) { return Mix(kFill[s], Mix(kFill[s], Hex(0x000000, kFill[s].a), 0.35f), y / 20); }, 1.2f);
  c.Fill(
      0, 0, 64, 20, [&](float x, float y) { return std::fabs(RoundRect(1.5f, 1.5f, 62.5f, 18.5f, 8)(x, y)) - 0.5f; },
      Hex(0xFFFFFF, s == 4 ? 0.15f : 0.45f), 1.0f);
  Label(c, kLabels[k - 1], 32, 6, kText[s]);
  return c.Png();
}

// The system sheet: the waiting icon's eight frames at y = 32 (their top-left pixel is the transparent
// colour, so they are drawn hard-edged on a key colour) and the floating window's background in
// rows 416-599.
std::string SystemSheet() {
  Canvas c(800, 600);
  VerticalGradient(c, {{0.0f, Hex(0x202838)}, {1.0f, Hex(0x404A5C)}});
  const Rgba key = Hex(0xFF00FF);
  for (int f = 0; f < 8; ++f) {
    const int x0 = 32 * f;
    for (int y = 32; y < 64; ++y)
      for (int x = x0; x < x0 + 32; ++x) c.At(x, y) = key;
    // A small gem that bobs and brightens over the eight frames.
    const float bob = 3.0f * std::sin(f * 3.14159265f / 4);
    const float cy = 46 + bob;
    const Rgba gem = Mix(Hex(0x9FC4FF), Hex(0xFFFFFF), 0.5f + 0.5f * std::cos(f * 3.14159265f / 4));
    for (int y = 32; y < 64; ++y)
      for (int x = x0; x < x0 + 32; ++x) {
        const float dx = std::fabs(x + 0.5f - (x0 + 16)), dy = y + 0.5f - cy;
        // A downward-pointing diamond; hard edges, as the key colour allows no blending.
        if (dx / 8 + std::fabs(dy) / 10 <= 1) c.At(x, y) = dy < 0 ? gem : Mix(gem, Hex(0x3050A0), 0.45f);
      }
  }
  Panel(c, 416, true);
  return c.Png();
}

// A choice line: a band that fades out towards both ends.
std::string ChoicePlate(uint32_t rgb, float alpha) {
  Canvas c(800, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 800; ++x) {
      const float edgeX = std::clamp(std::min(x - 60.0f, 740.0f - x) / 120.0f, 0.0f, 1.0f);
      const float edgeY = std::clamp(std::min(y - 2.0f, 38.0f - y) / 4.0f, 0.0f, 1.0f);
      c.At(x, y) = Hex(rgb, alpha * edgeX * edgeY);
    }
  return c.Png();
}

// ---- Event pictures --------------------------------------------------------------------------------

// Draws `src` over `dst`, scaled by `scale` about the picture's centre and then moved by (dx, dy), at
// `opacity`; `tint` recolours it by its alpha (silhouettes against the sunset, a remembered face).
void Place(Canvas& dst, const Canvas& src, float dx, float dy, float scale, float opacity = 1,
           Rgba tint = {0, 0, 0, 0}) {
  const float cx = src.Width() / 2.0f, cy = src.Height() / 2.0f;
  for (int y = 0; y < dst.Height(); ++y)
    for (int x = 0; x < dst.Width(); ++x) {
      const float sx = (x + 0.5f - cx - dx) / scale + cx - 0.5f, sy = (y + 0.5f - cy - dy) / scale + cy - 0.5f;
      const int x0 = static_cast<int>(std::floor(sx)), y0 = static_cast<int>(std::floor(sy));
      if (x0 < -1 || y0 < -1 || x0 >= src.Width() || y0 >= src.Height()) continue;
      // Bilinear in premultiplied colour, so the soft edges keep no dark fringe.
      float r = 0, g = 0, b = 0, a = 0;
      for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
          const int px = x0 + i, py = y0 + j;
          if (px < 0 || py < 0 || px >= src.Width() || py >= src.Height()) continue;
          const float w = (i ? sx - x0 : 1 - (sx - x0)) * (j ? sy - y0 : 1 - (sy - y0));
          const Rgba& p = src.At(px, py);
          r += p.r * p.a * w, g += p.g * p.a * w, b += p.b * p.a * w, a += p.a * w;
        }
      if (a <= 0.001f) continue;
      const Rgba colour = Mix({r / a, g / a, b / a, 1}, {tint.r, tint.g, tint.b, 1}, tint.a);
      dst.Over(x, y, colour, a * opacity);
    }
}

// Everything under a wash of one colour.
void Wash(Canvas& c, Rgba colour) {
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) c.Over(x, y, colour, 1);
}

// Darker corners, which draw the eye to the middle of a picture.
void Vignette(Canvas& c, float strength) {
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) {
      const float d = std::hypot((x + 0.5f - 400) / 400, (y + 0.5f - 300) / 300);
      c.Over(x, y, Hex(0x000000), std::clamp((d - 0.65f) * strength, 0.0f, 0.8f));
    }
}

// Magnolia petals drifting across the picture.
void Petals(Canvas& c, uint32_t seed, int count, float alpha) {
  for (int i = 0; i < count; ++i) {
    const uint32_t k = seed * 1000 + static_cast<uint32_t>(i) * 3;
    const float x = static_cast<float>(Hash(k) % 800), y = static_cast<float>(Hash(k + 1) % 600);
    const float r = 4.0f + static_cast<float>(Hash(k + 2) % 7);
    c.Fill(int(x - r) - 3, int(y - r) - 3, int(x + r) + 3, int(y + r) + 3, Ellipse(x, y, r, r * 0.55f),
           Mix(Hex(0xFBEFF3, alpha), Hex(0xF2C6D6, alpha), (Hash(k) % 100) / 100.0f), 1.5f);
  }
}

// Slanted streaks of rain.
void Rain(Canvas& c, uint32_t seed, int count) {
  for (int i = 0; i < count; ++i) {
    const uint32_t k = seed * 1000 + static_cast<uint32_t>(i) * 3;
    const float x = static_cast<float>(Hash(k) % 900) - 60, y = static_cast<float>(Hash(k + 1) % 660) - 50;
    const int length = 16 + static_cast<int>(Hash(k + 2) % 22);
    for (int j = 0; j < length; ++j)
      c.Over(static_cast<int>(x + j * 0.3f), static_cast<int>(y) + j, Hex(0xCFDCF5), 0.3f);
  }
}

// An umbrella held in one hand, its shaft leaning `tilt` radians towards the left from the hand up.
// Local coordinates run along the shaft: u across it (to the right), v down it from the tip.
struct HeldUmbrella {
  float handX, handY;  // where the hand grips the shaft
  float length;        // from the tip of the canopy down to the hand
  float tilt;
  float radius;  // the canopy's half width
  Rgba colour;

  float U(float x, float y) const { return (x - TipX()) * std::cos(tilt) - (y - TipY()) * std::sin(tilt); }
  float V(float x, float y) const { return (x - TipX()) * std::sin(tilt) + (y - TipY()) * std::cos(tilt); }
  float TipX() const { return handX - length * std::sin(tilt); }
  float TipY() const { return handY - length * std::cos(tilt); }
  float RimV() const { return radius * 0.55f; }
  // The box around the whole umbrella, for the fills.
  int Left() const { return static_cast<int>(std::min(TipX(), handX) - radius) - 8; }
  int Right() const { return static_cast<int>(std::max(TipX(), handX) + radius) + 8; }
  int Top() const { return static_cast<int>(TipY() - radius * std::sin(tilt)) - 8; }
  int Bottom() const { return static_cast<int>(handY) + 48; }

  // The canopy: a dome with a scalloped rim, drawn before the one who holds it.
  void Canopy(Canvas& c) const {
    c.Fill(
        Left(), Top(), Right(), Bottom(),
        [this](float x, float y) {
          const float u = U(x, y), v = V(x, y);
          const float dome = Ellipse(0, RimV(), radius, RimV())(u, v);
          const float rim = v - (RimV() + 7 * std::fabs(std::sin(u / radius * 3.14159265f * 2.5f)));
          return std::max(dome, rim);
        },
        [this](float x, float y) {
          return Mix(Mix(colour, Hex(0xFFFFFF), 0.15f), colour, std::clamp(V(x, y) / RimV(), 0.0f, 1.0f));
        },
        1.5f);
  }

  // The shaft from under the canopy down past the hand, its crook, and the arm and hand that hold it,
  // drawn over the one who holds it; `skin` and `sleeve` as that figure is tinted.
  void ShaftAndHand(Canvas& c, Rgba skin, Rgba sleeve, float elbowX, float elbowY) const {
    const Rgba shaft = Hex(0x202028);
    c.Fill(
        Left(), Top(), Right(), Bottom(),
        [this](float x, float y) {
          const float u = U(x, y), v = V(x, y);
          return std::max(std::fabs(u) - 1.8f, std::max(RimV() - v, v - (length + 24)));
        },
        shaft, 1.2f);
    // The crook: half a ring below the straight part, opening upwards.
    c.Fill(
        Left(), Top(), Right(), Bottom(),
        [this](float x, float y) {
          const float u = U(x, y), v = V(x, y);
          const float ring = std::fabs(std::hypot(u + 9, v - (length + 24)) - 9) - 2.2f;
          return std::max(ring, length + 24 - v);
        },
        shaft, 1.2f);
    // The forearm from the elbow to the hand, then the hand around the shaft.
    const float ax = elbowX, ay = elbowY, bx = handX, by = handY;
    c.Fill(
        Left(), Top(), Right(), Bottom() + 80,
        [=](float x, float y) {
          const float t = std::clamp(
              ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / ((bx - ax) * (bx - ax) + (by - ay) * (by - ay)), 0.0f,
              1.0f);
          return std::hypot(x - ax - t * (bx - ax), y - ay - t * (by - ay)) - 15;
        },
        sleeve, 1.5f);
    c.Fill(Left(), Top(), Right(), Bottom(), Ellipse(handX, handY, 12, 14), skin, 1.5f);
  }
};

// The rainy street at dusk, someone walking home under an umbrella; `remembering` adds the morning's face,
// faint in the rain.
std::string RainyWalk(const Canvas& walker, Rgba walkerSleeve, const Canvas& mina, bool remembering) {
  Canvas c = EveningStreet();
  Wash(c, Hex(0x18223C, 0.55f));
  for (int lamp : {120, 400, 680}) Glow(c, lamp, 378, 110, Hex(0xFFD890, 0.25f));
  if (remembering) {
    Glow(c, 560, 200, 230, Hex(0xFFE8C8, 0.35f));
    Place(c, mina, 170, -40, 1.1f, 0.35f, Hex(0xFFE0C0, 0.3f));
  }
  // Held in the right hand at the chest, leaning over the head; the canopy goes first, so the walker's
  // head stands in front of its far side, and the shaft and the hand go over the walker's coat.
  const Rgba tint = Hex(0x141826, 0.75f);
  const HeldUmbrella umbrella{470, 452, 370, 0.1f, 165, Hex(0x2C4A7A)};
  umbrella.Canopy(c);
  Place(c, walker, -40, 70, 0.85f, 1, tint);
  const Rgba shade = Hex(0x141826);
  umbrella.ShaftAndHand(c, Mix(Hex(0xF8DCC8), shade, tint.a), Mix(walkerSleeve, shade, tint.a), 420, 540);
  Rain(c, 3, 260);
  Vignette(c, 1.6f);
  return c.Png();
}

// The event pictures of the demo's scenes: GRAPHIC.DAT entry -> picture. The album shows each slot's
// first picture as its thumbnail; the second is seen only on one branch of the story.
std::map<int, DemoPicture> EventPictures() {
  const Canvas mina = Character(0x5A3A2A, 0x243A6A, 0xD8344A, true);
  const Canvas souta = Character(0x1E1E2A, 0x2E4A3A, 0x3A7AD8, false);
  std::map<int, DemoPicture> pictures;
  const auto& page1 = album::kStandardCgTable[0];
  auto add = [&](int slot, int variant, std::string png) {
    const int entry = page1[static_cast<size_t>(slot - 1)][static_cast<size_t>(variant - 1)];
    // Named for the album page, slot and variant: EV0102A is page 1, slot 2, first variant.
    char name[16];
    std::snprintf(name, sizeof name, "EV01%02d%c.PNG", slot, 'A' + variant - 1);
    pictures[entry] = {name, std::move(png)};
  };
  {  // At the door in the morning: the childhood friend, close, with petals in the air.
    Canvas c = MorningSky();
    Petals(c, 1, 30, 0.7f);
    Place(c, mina, 0, 170, 1.5f);
    Petals(c, 2, 18, 0.95f);
    Vignette(c, 1.2f);
    add(1, 1, c.Png());
  }
  {  // Walking to school together.
    Canvas c = MorningSky();
    Glow(c, 620, 130, 300, Hex(0xFFF2D0, 0.45f));
    Place(c, mina, -150, 40, 1.05f);
    Petals(c, 3, 45, 0.9f);
    Vignette(c, 1.0f);
    add(1, 2, c.Png());
  }
  {  // The school gate after school, in the sunset: both friends waving at the foot of the slope.
    Canvas c = SchoolGateAtSunset();
    Place(c, mina, -250, 70, 0.9f);
    Place(c, souta, 250, 70, 0.9f);
    Vignette(c, 1.2f);
    add(2, 1, c.Png());
  }
  {  // The three of them going down the slope from the gate, against the sunset.
    Canvas c = SchoolGateAtSunset();
    Wash(c, Hex(0xFF9A50, 0.22f));
    Glow(c, 400, 440, 300, Hex(0xFFD0A0, 0.6f));
    Place(c, mina, -80, 120, 0.75f, 1, Hex(0x2A1830, 0.88f));
    Place(c, souta, 80, 110, 0.78f, 1, Hex(0x2A1830, 0.88f));
    Vignette(c, 1.4f);
    add(2, 2, c.Png());
  }
  add(3, 1, RainyWalk(souta, Hex(0x2E4A3A), mina, false));  // home in the rain
  add(3, 2, RainyWalk(souta, Hex(0x2E4A3A), mina, true));   // remembering the morning's promise
  return pictures;
}

}  // namespace

std::map<int, std::string> MakeSystemArt(const ScreenTheme& theme, const std::map<int, DemoPicture>& graphics,
                                         const std::string& language) {
  std::map<int, std::string> sysgrp;
  // Message frame, system sheet, choice plates.
  Canvas frame(800, 184);
  Panel(frame, 0, false);
  sysgrp[1] = frame.Png();
  sysgrp[51] = SystemSheet();
  // White text must read on every background, the bright morning sky and the sunset included.
  sysgrp[52] = ChoicePlate(0x1A2350, 0.86f);
  sysgrp[53] = ChoicePlate(0xA8441C, 0.94f);
  // On-screen buttons 3-10: state 4 at entries 3-10, states 0-3 at 13-20, 23-30, 33-40, 43-50.
  for (int k = 3; k <= 10; ++k) {
    sysgrp[k] = Button(k, 4);
    for (int s = 0; s < 4; ++s) sysgrp[11 + (k - 1) + 10 * s] = Button(k, s);
  }
  // Title background and sheet.
  AddTitleArt(sysgrp, theme, language);
  // Save/load screen: page backgrounds and parts sheet.
  AddSaveScreenArt(sysgrp, language);
  // Album screens, with the event pictures' thumbnails.
  std::cout << "  pictures: album screens\n" << std::flush;
  AddAlbumArt(sysgrp, graphics, theme, language);
  return sysgrp;
}

DemoArt MakeDemoArt() {
  DemoArt art;
  std::cout << "  pictures: scenes and event pictures\n" << std::flush;
  art.graphics = {
      {1, {"BG01.PNG", MorningSky().Png()}},
      {2, {"BG02.PNG", EveningStreet().Png()}},
      {3, {"CH01.PNG", Character(0x5A3A2A, 0x243A6A, 0xD8344A, true).Png()}},
      {4, {"CH02.PNG", Character(0x1E1E2A, 0x2E4A3A, 0x3A7AD8, false).Png()}},
      {5, {"BG03.PNG", SchoolGateAtSunset().Png()}},
  };
  // Event pictures, at the entries the album's table gives their slots.
  art.graphics.merge(EventPictures());
  art.sysgrp = MakeSystemArt(DemoTheme(), art.graphics);
  return art;
}

}  // namespace mokuren::demo
