// The rasteriser and the one-pass layer build, checked against the long way round: white text on a
// black 32-bit mask, inverted and combined with a colour sheet.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "base/text_codec.h"
#include "graphics/ABitmapFilters32.h"
#include "text/text_layers.h"
#include "text/text_renderer.h"

namespace mokuren {
namespace {

class TextLayers : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    renderer_ = new TextRenderer;
    std::string error;
    ASSERT_TRUE(renderer_->Open(error)) << error;
  }
  static void TearDownTestSuite() {
    delete renderer_;
    renderer_ = nullptr;
  }
  static TextRenderer* renderer_;
};
TextRenderer* TextLayers::renderer_ = nullptr;

// The layer as a canvas would make it: mask black, text white at (x + dx, y + dy), invert, combine.
TABitmap ReferenceLayer(TextRenderer& r, int w, int h, const std::u16string& text, int x, int y, int dx, int dy,
                        Rgb colour) {
  TABitmap sheet(w, h), mask(w, h), layer;
  sheet.FillRGB(colour.r, colour.g, colour.b);
  mask.FillRGB(0, 0, 0);
  r.TextOut(mask, x + dx, y + dy, text, FontSpec{}, Rgb{255, 255, 255});
  InvertRect(mask, 0, 0, w, h);
  TABitmap::CombineMask(sheet, mask, layer);
  return layer;
}

TEST_F(TextLayers, OnePassBuildEqualsMaskInvertAndCombine) {
  // Text running off every edge, so clipping is compared too; overlapping ink from the tight "ィ".
  struct Case {
    std::u16string text;
    int x, y;
  };
  const Case cases[] = {{u"「カザミネくん、おはよう！」ｱｲｳ ABC", 32, 10},
                        {u"端の文字ィィィ", 780, 170},
                        {u"上と左", -10, -12},
                        {u"", 0, 0}};
  for (const Case& c : cases) {
    for (auto [dx, dy] : {std::pair{0, 0}, std::pair{2, 2}}) {
      // Ink cut off at the top or left cannot come back by shifting (the game never draws there).
      if (c.x < 0 && dx != 0) continue;
      CoverageMask cov;
      cov.Reset(800, 184);
      renderer_->DrawCoverage(cov, c.x, c.y, c.text, FontSpec{});
      std::array<Rgb, 184> colours;
      colours.fill(Rgb{255, 192, 96});
      TABitmap fast;
      BuildTextLayer(cov, dx, dy, colours, fast);
      EXPECT_TRUE(fast == ReferenceLayer(*renderer_, 800, 184, c.text, c.x, c.y, dx, dy, Rgb{255, 192, 96}))
          << ToUtf8(c.text) << " offset " << dx;
    }
  }
}

TEST_F(TextLayers, FullWidthCellsAre28PixelsAtHeight28) {
  EXPECT_EQ(renderer_->TextWidth(u"あ漢「。", FontSpec{}), 4 * 28);
  EXPECT_EQ(renderer_->TextWidth(u"ab", FontSpec{}), 2 * 14);
  EXPECT_EQ(renderer_->TextWidth(u"あ", FontSpec{FontName::Gothic, 14, false}), 14);
  // Ink stays inside its cell's rows.
  for (char16_t c : std::u16string(u"あ漢「g」")) {
    const Glyph* g = renderer_->GlyphOf(c, FontSpec{});
    ASSERT_NE(g, nullptr);
    EXPECT_GE(renderer_->Ascent(FontSpec{}) - g->top, -1);
    EXPECT_LE(renderer_->Ascent(FontSpec{}) - g->top + g->rows, 29);
  }
}

TEST_F(TextLayers, DoubledDashIsOneUnbrokenLine) {
  // "――" is the writer's long dash: along the bar's row, every column of both cells has ink.
  CoverageMask cov;
  cov.Reset(4 * 28, 28);
  renderer_->DrawCoverage(cov, 28, 0, u"――", FontSpec{});
  int bar = 0;
  for (int y = 1; y < 28; ++y)
    if (cov.At(42, y) > cov.At(42, bar)) bar = y;
  ASSERT_GT(cov.At(42, bar), 0);
  for (int x = 28; x < 3 * 28; ++x) EXPECT_GT(cov.At(x, bar), 0) << "a gap at column " << x;
  EXPECT_EQ(cov.At(27, bar), 0);
  EXPECT_EQ(cov.At(3 * 28, bar), 0);
}

TEST_F(TextLayers, TextOutBlendsOverWhatIsThereAndKeepsTheTransparencyByte) {
  TABitmap s(100, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) s.ScanLine(y)[x * 4 + 3] = 77;
  renderer_->TextOut(s, 2, 2, u"緑", FontSpec{}, Rgb{0, 255, 0});
  int green = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) {
      const uint8_t* p = s.ScanLine(y) + x * 4;
      EXPECT_EQ(p[3], 77);
      EXPECT_EQ(p[0], 0);
      EXPECT_EQ(p[2], 0);
      green += p[1] == 255;
    }
  EXPECT_GT(green, 20);
  // Unpaired surrogates and characters no face has do not stop the text.
  const std::u16string odd = {u'あ', char16_t(0xD800), u'い', char16_t(0xDFFF), u'う'};
  EXPECT_EQ(renderer_->TextWidth(odd, FontSpec{}), 5 * 28 - 2 * 28 + renderer_->TextWidth(u"\uFFFD\uFFFD", FontSpec{}));
}

TEST_F(TextLayers, TheFacesAreJapanese) {
  for (FontName n : {FontName::Gothic, FontName::PGothic, FontName::PMincho}) {
    EXPECT_FALSE(renderer_->FacePath(n).empty());
    const Glyph* g = renderer_->GlyphOf(U'漢', FontSpec{n, 20, false});
    ASSERT_NE(g, nullptr);
    EXPECT_GT(g->width, 10);
  }
  // The proportional face is narrower for narrow kana.
  EXPECT_LT(renderer_->TextWidth(u"ィィィ", FontSpec{FontName::PGothic, 28, false}),
            renderer_->TextWidth(u"ィィィ", FontSpec{FontName::Gothic, 28, false}));
  // Bold widens the ink.
  EXPECT_GE(renderer_->GlyphOf(U'漢', FontSpec{FontName::Gothic, 28, true})->width,
            renderer_->GlyphOf(U'漢', FontSpec{FontName::Gothic, 28, false})->width);
}

TEST_F(TextLayers, CodePageRoundTrip) {
  EXPECT_EQ(ThroughCp932(u"①さん「こんにちは」ABC"), u"①さん「こんにちは」ABC");
  EXPECT_EQ(ThroughCp932(u"한글"), u"??");
  EXPECT_EQ(ThroughCp932(u"plain"), u"plain");
}

// What the Unicode standard calls ill-formed becomes U+FFFD, one for each longest valid start, and
// nothing decoded is a lone surrogate; well-formed text comes back whole.
TEST(Utf8Decoder, RefusesIllFormedSequencesAsTheStandardDoes) {
  EXPECT_EQ(FromUtf8("\xED\xBB\xBF"), u"\uFFFD\uFFFD\uFFFD");                      // an encoded surrogate
  EXPECT_EQ(FromUtf8("\xC0\x80\xE0\x9F\xBF"), u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");  // overlong forms
  EXPECT_EQ(FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");            // past U+10FFFF
  EXPECT_EQ(FromUtf8("\xE6\x9C"
                     "A\xF0\x9F\x8C"),
            u"\uFFFDA\uFFFD");  // cut short
  const std::string edges = "\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF\xF0\x9F\x8C\xB8木蓮";
  EXPECT_EQ(FromUtf8(edges), u"\uD7FF\uE000\U0010FFFF\U0001F338木蓮");
  EXPECT_EQ(ToUtf8(FromUtf8(edges)), edges);
}

}  // namespace
}  // namespace mokuren
