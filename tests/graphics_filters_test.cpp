// Pixel routines: the documented worked numbers, the clipping rules, and equality of every fast kernel
// set with the scalar reference over many random cases.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "graphics/ABitmapFilters32.h"
#include "support/test_surfaces.h"

namespace mokuren {
namespace {

using testing::Solid;

const uint8_t* Px(const TABitmap& s, int32_t x, int32_t y) { return s.ScanLine(y) + x * 4; }

// Surfaces of a frame and larger (their bytes mapped in huge pages where the system has them) come zeroed
// to their last byte, hold their own pixels, copy whole and come zeroed again when made anew.
TEST(LargeSurfaces, ComeZeroedToTheirLastByteAndHoldTheirOwnPixels) {
  for (auto [w, h] : {std::pair{800, 600}, std::pair{1024, 1024}, std::pair{1100, 700}}) {
    TABitmap a(w, h), b(w, h);
    const size_t last = a.ByteSize() - 1;
    EXPECT_EQ(a.Bits()[0] | a.Bits()[last] | a.Bits()[last / 2], 0);
    a.Bits()[0] = 1;
    a.Bits()[last] = 2;
    EXPECT_EQ(b.Bits()[0] + b.Bits()[last], 0);
    TABitmap copy = a;
    EXPECT_EQ(copy.Bits()[last], 2);
    a.SetSize32(w, h);
    EXPECT_EQ(a.Bits()[0] + a.Bits()[last], 0);
    b = std::move(copy);
    EXPECT_EQ(b.Bits()[last], 2);
  }
}

std::vector<PixelKernels> AllKernels() {
  std::vector<PixelKernels> out;
  for (PixelKernels k : {PixelKernels::Scalar, PixelKernels::Sse2, PixelKernels::Sse41, PixelKernels::Avx2})
    if (PixelKernelsAvailable(k)) out.push_back(k);
  return out;
}

// Runs the worked-number tests once per kernel set, so each set is held to the same numbers.
class PixelRoutineNumbers : public ::testing::TestWithParam<PixelKernels> {
 protected:
  void SetUp() override {
    saved_ = CurrentPixelKernels();
    SetPixelKernels(GetParam());
  }
  void TearDown() override { SetPixelKernels(saved_); }
  PixelKernels saved_{};
};

TEST_P(PixelRoutineNumbers, BlendConstWorkedNumbers) {
  // 9 pixels wide so that both the vector steps and the row tail are covered.
  TABitmap src = Solid(9, 2, 255, 200, 200, 255);
  TABitmap dst = Solid(9, 2, 0, 100, 100, 7);
  TABitmap before = dst;
  BlendConst(src, dst, 0, 0, 9, 2, 0, 0, 0);
  EXPECT_EQ(dst, before) << "opacity 0 leaves the destination";
  BlendConst(src, dst, 0, 0, 9, 2, 0, 0, 255);
  EXPECT_EQ(Px(dst, 8, 1)[0], 254) << "255 over 0 at 255 gives 254";
  dst = before;
  BlendConst(src, dst, 0, 0, 9, 2, 0, 0, 128);
  EXPECT_EQ(Px(dst, 3, 0)[1], 150) << "200 over 100 at 128 gives 150";
  EXPECT_EQ(Px(dst, 8, 1)[2], 150);
  // Byte 3 is blended like the colours: (255 * 128 + 7 * 128) >> 8 = 131.
  EXPECT_EQ(Px(dst, 0, 0)[3], 131);
}

TEST_P(PixelRoutineNumbers, DrawAlphaWorkedNumbers) {
  TABitmap opaque = Solid(7, 1, 255, 0, 255, 0);
  TABitmap dst = Solid(7, 1, 0, 0, 0, 0);
  DrawAlpha(opaque, dst, 0, 0, 7, 1, 0, 0, 255);
  EXPECT_EQ(Px(dst, 6, 0)[0], 254) << "T = 0 at opacity 255 maps 255 to 254";
  EXPECT_EQ(Px(dst, 6, 0)[1], 0);

  TABitmap clear = Solid(7, 1, 0, 0, 0, 255);
  TABitmap white = Solid(7, 1, 255, 255, 255, 255);
  TABitmap a = white;
  DrawAlpha(clear, a, 0, 0, 7, 1, 0, 0, 255);
  EXPECT_EQ(Px(a, 0, 0)[0], 254) << "T = 255 still multiplies the destination by 255 / 256";
  TABitmap b = white;
  DrawAlphaSkip(clear, b, 0, 0, 7, 1, 0, 0, 255);
  EXPECT_EQ(b, white) << "the skipping variant leaves the destination exact";

  // T = 128 at opacity 255: w = 127, so 255 over 0 gives (255 * 127) >> 8 = 126.
  TABitmap half = Solid(7, 1, 255, 255, 255, 128);
  TABitmap c = Solid(7, 1, 0, 0, 0, 0);
  DrawAlpha(half, c, 0, 0, 7, 1, 0, 0, 255);
  EXPECT_EQ(Px(c, 5, 0)[0], 126);
  // Opacity 64 with T = 0: w = (255 * 65) >> 8 = 64; 255 over 0 gives 63.
  TABitmap d = Solid(7, 1, 0, 0, 0, 0);
  DrawAlpha(opaque, d, 0, 0, 7, 1, 0, 0, 64);
  EXPECT_EQ(Px(d, 2, 0)[0], 63);
}

TEST_P(PixelRoutineNumbers, InvertKeepsTransparencyByte) {
  TABitmap s = Solid(13, 3, 10, 20, 30, 40);
  InvertRect(s, 2, 1, 100, 100);  // cut at the right and bottom edges
  EXPECT_EQ(Px(s, 1, 1)[0], 10);
  EXPECT_EQ(Px(s, 2, 0)[0], 10);
  const uint8_t* p = Px(s, 12, 2);
  EXPECT_EQ(p[0], 245);
  EXPECT_EQ(p[1], 235);
  EXPECT_EQ(p[2], 225);
  EXPECT_EQ(p[3], 40);
}

INSTANTIATE_TEST_SUITE_P(Kernels, PixelRoutineNumbers, ::testing::ValuesIn(AllKernels()),
                         [](const auto& info) { return std::string(PixelKernelsName(info.param)); });

TEST(PixelRoutineClipping, LayerPositionsAgainstTheFrame) {
  // An 800-wide picture whose blue byte is its column (mod 256), drawn opaque with the skipping blend.
  TABitmap layer(800, 4);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 800; ++x) layer.ScanLine(y)[x * 4] = static_cast<uint8_t>(x);
  TABitmap frame(800, 4);
  DrawAlphaSkip(layer, frame, -200, 0, 800, 4, 0, 0, 255);
  // Column 200 of the picture lands at 0, column 799 at 599; (v * 255) >> 8 for opaque pixels.
  EXPECT_EQ(Px(frame, 0, 0)[0], (200 * 255) >> 8);
  EXPECT_EQ(Px(frame, 599, 3)[0], ((799 % 256) * 255) >> 8);
  EXPECT_EQ(Px(frame, 600, 0)[0], 0) << "nothing beyond the picture's right edge";

  TABitmap narrow = Solid(300, 4, 255, 255, 255, 0);
  TABitmap f2(800, 4);
  DrawAlpha(narrow, f2, 700, 0, 300, 4, 0, 0, 255);
  EXPECT_EQ(Px(f2, 699, 0)[0], 0);
  EXPECT_EQ(Px(f2, 700, 0)[0], 254);
  EXPECT_EQ(Px(f2, 799, 3)[0], 254);

  TABitmap f3(800, 4);
  DrawAlpha(narrow, f3, 800, 0, 300, 4, 0, 0, 255);
  BlendConst(narrow, f3, 0, 4, 300, 4, 0, 0, 255);
  BlendConst(narrow, f3, -300, 0, 300, 4, 0, 0, 255);
  EXPECT_EQ(f3, TABitmap(800, 4)) << "rectangles wholly outside draw nothing";
}

TEST(PixelRoutineClipping, SourceRectanglesOutsideTheSourceAreCut) {
  TABitmap src = Solid(10, 10, 255, 255, 255, 0);
  TABitmap dst(20, 20);
  // A caller asking for more than the source holds gets only what exists.
  BlendConst(src, dst, 0, 0, 20, 20, 5, 5, 255);
  EXPECT_EQ(Px(dst, 4, 4)[0], 254);
  EXPECT_EQ(Px(dst, 5, 5)[0], 0);
  TABitmap d2(20, 20);
  CopyOpaque(src, d2, 3, 3, 20, 20, -2, -2);  // negative source origin moves the destination along
  EXPECT_EQ(Px(d2, 4, 4)[0], 0);
  EXPECT_EQ(Px(d2, 5, 5)[0], 255);
  EXPECT_EQ(Px(d2, 14, 14)[0], 255);
  EXPECT_EQ(Px(d2, 15, 15)[0], 0);
  TABitmap empty;
  DrawAlpha(empty, d2, 0, 0, 5, 5, 0, 0, 255);  // not valid: nothing, and no crash
  DrawAlpha(src, empty, 0, 0, 5, 5, 0, 0, 255);
}

TEST(PixelRoutineClipping, CopyOntoItselfMovesLikeMemmove) {
  TABitmap s(4, 6);
  for (int32_t y = 0; y < 6; ++y) s.ScanLine(y)[0] = static_cast<uint8_t>(y + 1);
  CopyOpaque(s, s, 0, 2, 4, 4, 0, 0);  // rows 0-3 down to 2-5
  for (int32_t y = 2; y < 6; ++y) EXPECT_EQ(Px(s, 0, y)[0], y - 1);
}

TEST(SurfaceOperations, CombineMaskAndFill) {
  TABitmap colour = Solid(5, 3, 1, 2, 3, 99);
  TABitmap mask = Solid(4, 3, 77, 0, 0, 0);  // one column narrower: the missing column counts as white
  TABitmap dest(1, 1);
  TABitmap::CombineMask(colour, mask, dest);
  ASSERT_EQ(dest.Width(), 5);
  ASSERT_EQ(dest.Height(), 3);
  EXPECT_EQ(Px(dest, 3, 2)[3], 77);
  EXPECT_EQ(Px(dest, 3, 2)[2], 3);
  EXPECT_EQ(Px(dest, 4, 2)[3], 255);
  dest.FillRGB(10, 20, 30);
  EXPECT_EQ(Px(dest, 4, 2)[0], 30);
  EXPECT_EQ(Px(dest, 4, 2)[1], 20);
  EXPECT_EQ(Px(dest, 4, 2)[2], 10);
  EXPECT_EQ(Px(dest, 4, 2)[3], 0);
}

// The quick-save thumbnail: 800x600 to 128x96. Source pixels carry their coordinates, so the expected
// value of a pixel can be worked out by hand from the 16.16 steps.
TEST(StretchBilinear, ThumbnailNumbers) {
  TABitmap frame(800, 600);
  for (int32_t y = 0; y < 600; ++y)
    for (int32_t x = 0; x < 800; ++x) {
      uint8_t* p = frame.ScanLine(y) + x * 4;
      p[0] = static_cast<uint8_t>(x);
      p[1] = static_cast<uint8_t>(y);
      p[2] = 200;
      p[3] = 0;
    }
  TABitmap thumb(128, 96);
  StretchBilinear(frame, thumb, 0, 0, 128, 96, 0, 0, 800, 600);
  // A flat channel loses a little twice: (200 * 255) >> 8 = 199, then 198.
  EXPECT_EQ(Px(thumb, 0, 0)[2], 198);
  EXPECT_EQ(Px(thumb, 127, 95)[2], 198);
  // Column 127: accumulator 127 * 409593 -> column 793, fx 188. Row 94: row 587, fy 126.
  {
    const int top = ((793 % 256) * (255 - 188) + (794 % 256) * 188) >> 8;
    const int expectBlue = (top * (255 - 126) + top * 126) >> 8;
    EXPECT_EQ(Px(thumb, 127, 94)[0], expectBlue);
    const int g0 = ((587 % 256) * 255) >> 8, g1 = ((588 % 256) * 255) >> 8;
    EXPECT_EQ(Px(thumb, 127, 94)[1], (g0 * (255 - 126) + g1 * 126) >> 8);
  }
  // Row 95 is past (600 - 1) * 10485 / 65535 = 95 computed rows: it reads the last row with fy = 0.
  EXPECT_EQ(Px(thumb, 0, 95)[1], (((599 % 256) * 255 >> 8) * 255) >> 8);
}

TEST(StretchBilinear, EdgesNeverReachOutside) {
  // Upscaling reaches the last column and row, whose right and lower neighbours do not exist.
  TABitmap src = Solid(3, 3, 100, 100, 100, 0);
  TABitmap dst(40, 40);
  StretchBilinear(src, dst, 0, 0, 40, 40, 0, 0, 3, 3);
  EXPECT_EQ(Px(dst, 39, 39)[0], (((100 * 255) >> 8) * 255) >> 8);
  // Degenerate and absurd rectangles draw nothing.
  TABitmap before = dst;
  StretchBilinear(src, dst, 0, 0, 0, 40, 0, 0, 3, 3);
  StretchBilinear(src, dst, 0, 0, 40, 40, 0, 0, 0, 3);
  StretchBilinear(src, dst, 0, 0, 40, 40, 4, 0, 3, 3);
  StretchBilinear(src, dst, 40, 0, 40, 40, 0, 0, 3, 3);
  StretchBilinear(src, dst, 0, 0, 40, 40, 0, 0, 1e300, 3);
  EXPECT_EQ(dst, before);
}

// ---- Fast kernels against the reference --------------------------------------------------------------

TABitmap RandomSurface(std::mt19937& rng, int32_t w, int32_t h) {
  TABitmap s(w, h);
  // Transparency in runs (fully clear, fully opaque, mixed) so the skipping fast paths are all taken.
  std::uniform_int_distribution<int> byte(0, 255), kind(0, 3), runLength(1, 12);
  int mode = 0, left = 0;
  for (size_t i = 0; i < s.ByteSize(); i += 4) {
    if (left-- <= 0) {
      mode = kind(rng);
      left = runLength(rng);
    }
    for (int b = 0; b < 3; ++b) s.Bits()[i + b] = static_cast<uint8_t>(byte(rng));
    s.Bits()[i + 3] = mode == 0 ? 255 : mode == 1 ? 0 : static_cast<uint8_t>(byte(rng));
  }
  return s;
}

class FastKernelsEqualReference : public ::testing::Test {
 protected:
  void TearDown() override { SetPixelKernels(saved_); }
  PixelKernels saved_ = CurrentPixelKernels();
};

TEST_F(FastKernelsEqualReference, RandomRectanglesOnEverySide) {
  std::mt19937 rng(20261207);
  std::uniform_int_distribution<int> size(1, 70), opacityPick(0, 9), byte(0, 255);
  std::vector<uint8_t> coverage(96);
  for (uint8_t& c : coverage) c = static_cast<uint8_t>(byte(rng) < 128 ? 0 : byte(rng));
  for (int round = 0; round < 600; ++round) {
    const int32_t sw = size(rng), sh = size(rng), dw = size(rng), dh = size(rng);
    const TABitmap src = RandomSurface(rng, sw, sh);
    const TABitmap dst0 = RandomSurface(rng, dw, dh);
    std::uniform_int_distribution<int32_t> px(-dw, dw + 4), py(-dh, dh + 4), w(-2, sw + 6), h(-2, sh + 6);
    std::uniform_int_distribution<int32_t> sxd(-3, sw), syd(-3, sh);
    const int32_t x = px(rng), y = py(rng), rw = w(rng), rh = h(rng), sx = sxd(rng), sy = syd(rng);
    // Mostly 0-255; sometimes values outside, which are taken as 16 bits.
    const int pick = opacityPick(rng);
    const int32_t opacity = pick == 0 ? 0 : pick == 1 ? 255 : pick == 2 ? 256 + byte(rng) * 97 : byte(rng);
    const double fdx = x + byte(rng) / 256.0 - 0.5, fdy = y + byte(rng) / 256.0 - 0.5;
    const double fsx = std::max(0, sx) + byte(rng) / 256.0, fsy = std::max(0, sy) + byte(rng) / 256.0;
    const double fsw = std::max(1, rw) + byte(rng) / 128.0, fsh = std::max(1, rh) + byte(rng) / 128.0;

    auto runAll = [&](PixelKernels k) {
      SetPixelKernels(k);
      std::vector<TABitmap> out(7, dst0);
      BlendConst(src, out[0], x, y, rw, rh, sx, sy, opacity);
      DrawAlpha(src, out[1], x, y, rw, rh, sx, sy, opacity);
      DrawAlphaSkip(src, out[2], x, y, rw, rh, sx, sy, opacity);
      InvertRect(out[3], x, y, rw, rh);
      StretchBilinear(src, out[4], fdx, fdy, std::max(1, rw * 2 - 3), std::max(1, rh * 2 - 5), fsx, fsy, fsw, fsh);
      CopyOpaque(src, out[5], x, y, rw, rh, sx, sy);
      CoverageRow(out[6], x, y, coverage.data() + round % 7, rw, 0xA5000000u | static_cast<uint32_t>(round) * 40503u);
      return out;
    };
    const std::vector<TABitmap> reference = runAll(PixelKernels::Scalar);
    for (PixelKernels k : AllKernels()) {
      if (k == PixelKernels::Scalar) continue;
      const std::vector<TABitmap> fast = runAll(k);
      for (size_t r = 0; r < reference.size(); ++r)
        ASSERT_EQ(fast[r], reference[r]) << "routine " << r << " kernels " << PixelKernelsName(k) << " round " << round
                                         << " at " << x << "," << y << " " << rw << "x" << rh << " from " << sx << ","
                                         << sy << " opacity " << opacity;
    }
  }
}

// Every opacity takes its own path in the fast blends (below, at and above 128; 255; past 255, where the
// reference's 16-bit sums wrap); an odd width at an odd place gives every row a head and a tail.
TEST_F(FastKernelsEqualReference, BlendsAtEveryOpacity) {
  std::mt19937 rng(7);
  const TABitmap src = RandomSurface(rng, 203, 9);
  const TABitmap dst0 = RandomSurface(rng, 211, 9);
  std::vector<int32_t> opacities(300);
  for (int32_t a = 0; a < 300; ++a) opacities[static_cast<size_t>(a)] = a;
  opacities.insert(opacities.end(), {1000, 32768, 65535});
  for (int32_t a : opacities) {
    auto run = [&](PixelKernels k) {
      SetPixelKernels(k);
      std::vector<TABitmap> out(3, dst0);
      BlendConst(src, out[0], 3, 1, 203, 9, 0, 0, a);
      DrawAlpha(src, out[1], 3, 1, 203, 9, 0, 0, a);
      DrawAlphaSkip(src, out[2], 3, 1, 203, 9, 0, 0, a);
      return out;
    };
    const std::vector<TABitmap> reference = run(PixelKernels::Scalar);
    for (PixelKernels k : AllKernels()) ASSERT_EQ(run(k), reference) << PixelKernelsName(k) << " opacity " << a;
  }
}

}  // namespace
}  // namespace mokuren
