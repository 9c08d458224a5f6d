// The layout of translations: lines broken at spaces within the message area, a word too long for a
// line broken inside, speech kept indented past its opening quote, and what does not fit reported.
#include <gtest/gtest.h>

#include "text/translated_layout.h"

namespace mokuren::testing {
namespace {

class TranslatedLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(font_.Open("en", error)) << error;
  }
  // The width a text takes on a line of its own.
  int32_t Width(std::u16string_view text) { return layout_.Choice(text).line.width; }

  ShapedFont font_;
  TranslatedLayout layout_{font_, StyleOf("en")};
};

TEST_F(TranslatedLayoutTest, BreaksAtSpacesIndentsSpeechAndTypesCharacterByCharacter) {
  const std::u16string body =
      u"“Good morning, ①! Lovely weather again today. You will be late for school if you keep "
      u"dawdling like that, you know. Come on, hurry up, or I'm leaving without you!”";
  const TranslatedMessage m = layout_.Message(u"Mina", body, u"Ｋａｚａ");
  EXPECT_FALSE(m.overflow);
  EXPECT_EQ(m.speaker.text, u"Mina");
  // Full-width letters of the hero's name are drawn narrow.
  EXPECT_EQ(m.lines[0].text.substr(0, 20), u"“Good morning, Kaza!");
  std::u16string joined;
  for (const TypedLine& line : m.lines) {
    ASSERT_FALSE(line.text.empty());
    EXPECT_LE(line.left + line.width, kMessageTextLeft + kTranslatedLineWidth);
    EXPECT_NE(line.text.front(), u' ');
    EXPECT_NE(line.text.back(), u' ');
    joined += (joined.empty() ? u"" : u" ") + line.text;
  }
  EXPECT_EQ(joined,
            u"“Good morning, Kaza! Lovely weather again today. You will be late for school if you keep "
            u"dawdling like that, you know. Come on, hurry up, or I'm leaving without you!”");
  // Each line took as many words as fit: the next word would not have.
  for (size_t n = 0; n + 1 < m.lines.size(); ++n) {
    const std::u16string& next = m.lines[n + 1].text;
    EXPECT_GT(Width(m.lines[n].text + u" " + next.substr(0, next.find(u' '))),
              kTranslatedLineWidth - (m.lines[n].left - kMessageTextLeft));
  }
  // Continuation lines start past the opening quote.
  EXPECT_EQ(m.lines[0].left, kMessageTextLeft);
  EXPECT_EQ(m.lines[1].left, kMessageTextLeft + Width(u"“"));
  EXPECT_EQ(m.lines[2].left, m.lines[1].left);
  // Typing reveals the line from left to right, one character at a time, up to its end.
  const TypedLine& first = m.lines[0];
  EXPECT_EQ(m.TypedLength(), m.lines[0].Length() + m.lines[1].Length() + m.lines[2].Length());
  EXPECT_EQ(first.RevealEdge(0), first.left);
  for (size_t k = 1; k < first.Length(); ++k) EXPECT_LE(first.RevealEdge(k), first.RevealEdge(k + 1));
  EXPECT_GE(first.RevealEdge(first.Length()), first.left + first.width);
  EXPECT_LT(first.RevealEdge(5), first.left + Width(u"“Good m"));

  // Drawn into a coverage mask, the ink stays on the line's own rows and columns.
  CoverageMask mask;
  mask.Reset(kMessageWindowWidth, 184);
  layout_.Draw(mask, first, kTranslatedLineTops[1]);
  int32_t inkLeft = mask.width, inkRight = 0, inkTop = mask.height, inkBottom = 0;
  for (int32_t y = 0; y < mask.height; ++y)
    for (int32_t x = 0; x < mask.width; ++x)
      if (mask.At(x, y)) {
        inkLeft = std::min(inkLeft, x), inkRight = std::max(inkRight, x);
        inkTop = std::min(inkTop, y), inkBottom = std::max(inkBottom, y);
      }
  EXPECT_GE(inkLeft, first.left);
  EXPECT_LT(inkRight, first.RevealEdge(first.Length()));
  EXPECT_GE(inkTop, kTranslatedLineTops[1]);
  EXPECT_LT(inkBottom, kTranslatedLineTops[1] + TranslatedLayout::kLineBox + 4);
}

TEST_F(TranslatedLayoutTest, BreaksALongWordAndNewLinesAndReportsWhatDoesNotFit) {
  // A word wider than a line is broken where the line is full; "\n" ends a line.
  const std::u16string word(40, u'W');
  TranslatedMessage m = layout_.Message({}, word + u"\nEnd.", u"");
  EXPECT_FALSE(m.overflow);
  EXPECT_LT(m.lines[0].text.size(), word.size());
  EXPECT_EQ(m.lines[0].text + m.lines[1].text, word);
  EXPECT_LE(m.lines[0].width, kTranslatedLineWidth);
  EXPECT_EQ(m.lines[2].text, u"End.");

  // A fourth line is not shown: the layout says what it left out.
  m = layout_.Message({}, u"One.\nTwo.\nThree.\nFour and more.", u"");
  EXPECT_TRUE(m.overflow);
  EXPECT_EQ(m.lines[2].text, u"Three.");
  EXPECT_EQ(m.dropped, u"Four and more.");

  // A choice wider than its band keeps what fits, centred.
  const TranslatedChoice wide = layout_.Choice(std::u16string(100, u'm'));
  EXPECT_TRUE(wide.overflow);
  EXPECT_LE(wide.line.width, kChoiceTextWidth);
  EXPECT_EQ(wide.line.left, (kChoiceBandWidth - wide.line.width) / 2);
  EXPECT_FALSE(layout_.Choice(u"Walk with her").overflow);
}

TEST(TranslatedCellLayout, ChineseKeepsItsCellsAndLineBreakingRules) {
  ShapedFont font;
  std::string error;
  ASSERT_TRUE(font.Open("zh_CN", error)) << error;
  TranslatedLayout layout(font, StyleOf("zh_CN"));
  // The quote and 24 characters fill the line; the comma after them may not begin a line, so it hangs.
  const std::u16string text = std::u16string(24, u'早') + u"，我们走吧";
  const TranslatedMessage m = layout.Message(u"米娜", u"“" + text + u"”", u"");
  EXPECT_EQ(m.speaker.text, u"米娜");
  EXPECT_EQ(m.lines[0].text, u"“" + std::u16string(24, u'早') + u"，");
  EXPECT_EQ(m.lines[1].text, u"我们走吧”");
  EXPECT_EQ(m.lines[1].left, kMessageTextLeft + kCharacterCell);  // indented past the quote
  EXPECT_EQ(m.lines[0].RevealEdge(3), kMessageTextLeft + 3 * kCharacterCell);
}

}  // namespace
}  // namespace mokuren::testing
