// Layout of translated messages and choices, beside the Japanese cell layout (message_layout.h): the same
// message window (the speaker's band and three lines) and the same choice bands, with each glyph placed
// so the engine can type the text character by character and draw it into the coverage masks it
// already builds its text layers from.
//
// Two ways of writing:
// - Spaced (English, French, German, Spanish, Russian, Greek, Korean, …): a proportional face shaped
//   with HarfBuzz (kerning included); lines break at spaces, inside a word only when the word alone is
//   wider than a line.
// - Cells (Chinese, and a reworded Japanese): every character one 28-pixel cell, 25 to a line; a character
//   that may not begin a line hangs on the line above and one that may not end a line moves down, by the
//   language's own rules.
// In both, "\n" breaks the line, "①" is the hero's name, and a text that opens with a quotation mark
// keeps its continuation lines indented past that mark, as Japanese speech is. A text that does not fit
// is laid out as far as it fits, and the layout says so: the caller reports it once.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/message_layout.h"
#include "text/shaped_font.h"

namespace mokuren {

enum class Writing : uint8_t { Spaced, Cells };

// How a language is written and at what size: Chinese ("zh", "zh_TW", …) in cells at 28 pixels by Chinese
// line-breaking rules, Japanese ("ja", a reworded Japanese text) in cells by the engine's own rules; every
// other language spaced, at 24 pixels (26 for Korean, whose syllables need the room).
struct LanguageStyle {
  Writing writing = Writing::Spaced;
  int32_t pixelSize = 24;
  std::u16string_view lineStartForbidden;  // cells: characters that may not begin a line
  std::u16string_view lineEndForbidden;    // cells: characters that may not end one
};
LanguageStyle StyleOf(std::string_view language);

// Chinese line-breaking rules for the cell layout.
inline constexpr std::u16string_view kChineseLineStartForbidden =
    u"、。，．：；！？）］｝〕〉》」』】〙〗〟’”…‥—～·・%％";
inline constexpr std::u16string_view kChineseLineEndForbidden = u"（［｛〔〈《「『【〘〖〝‘“";
// Opening marks whose continuation lines are indented past them.
inline constexpr std::u16string_view kOpeningQuotes = u"「『“„«‹\"‘'";

// Where the message window puts its text (the rows are those of its Japanese lines).
inline constexpr int32_t kTranslatedLineTops[4] = {10, 50, 90, 130};  // the speaker's band, then lines 1-3
inline constexpr int32_t kTranslatedLineWidth = static_cast<int32_t>(kMessageLineLength) * kCharacterCell;
inline constexpr int32_t kSpeakerBandWidth = kMessageWindowWidth - 2 * kMessageTextLeft;
// A choice fits its band when it is at most as wide as 28 cells, as a Japanese choice that stays on it.
inline constexpr int32_t kChoiceTextWidth = 28 * kCharacterCell;

struct PlacedGlyph {
  uint32_t glyph = 0;
  uint8_t face = 0;  // as ShapedGlyph::face
  int32_t x = 0;     // pen column, from the left of the window (or the band)
  int32_t dy = 0;    // rows above the baseline (marks placed by the face)
};

// One line as it is drawn and typed.
struct TypedLine {
  std::u16string text;  // what the line shows
  std::vector<PlacedGlyph> glyphs;
  std::vector<int32_t> revealRight;  // after k + 1 characters are typed, the line shows up to this column
  int32_t left = 0;                  // the column the line starts at
  int32_t width = 0;                 // its advance in pixels

  size_t Length() const { return revealRight.size(); }
  // The column up to which the first `typed` characters show (left for none, the whole line past its end).
  int32_t RevealEdge(size_t typed) const;
};

struct TranslatedMessage {
  TypedLine speaker;
  std::array<TypedLine, kMessageLineCount> lines;
  bool overflow = false;         // the text runs past the third line; `dropped` was left out
  bool speakerOverflow = false;  // the speaker's name is wider than its band and was cut
  std::u16string dropped;

  // The characters typed in all, as the message window counts them.
  size_t TypedLength() const;
};

struct TranslatedChoice {
  TypedLine line;
  bool overflow = false;  // wider than the band allows; cut where it no longer fits
};

class TranslatedLayout {
 public:
  TranslatedLayout(ShapedFont& font, LanguageStyle style) : font_(font), style_(style) {}

  // speaker and body as TranslationCatalog::Message gives them; "①" in either becomes heroName (whose
  // full-width Latin letters and digits are drawn narrow in a spaced layout).
  TranslatedMessage Message(std::u16string_view speaker, std::u16string_view body, std::u16string_view heroName);
  // One choice item, centred in its band.
  TranslatedChoice Choice(std::u16string_view item);

  // Draws a line into the mask with the top of its line box at row y; the glyphs keep their columns.
  void Draw(CoverageMask& mask, const TypedLine& line, int32_t y);

  const LanguageStyle& Style() const { return style_; }
  // The height of a line box: the Japanese cell.
  static constexpr int32_t kLineBox = kCharacterCell;

 private:
  // Lay out as much of text as fits into at most `maxLines` lines of `width` pixels from column `left`,
  // continuation lines indented past an opening mark when `hanging`; return the index (in code points)
  // of what did not fit.
  size_t LayOutSpaced(const std::u32string& text, int32_t left, int32_t width, bool hanging, TypedLine* lines,
                      size_t maxLines);
  size_t LayOutCells(const std::u32string& text, int32_t left, bool hanging, TypedLine* lines, size_t maxLines);
  // Shapes one paragraph into chars_, shaped_ and penAt_.
  void ShapeParagraph(std::u32string_view text);
  // A line of the shaped paragraph's characters [from, to), from column x.
  void FillSpaced(size_t from, size_t to, int32_t x, TypedLine& line);
  // A line of characters one cell each, from column x.
  void FillCells(std::u32string_view chars, int32_t x, TypedLine& line);
  std::u16string WithName(std::u16string_view text, std::u16string_view heroName) const;

  ShapedFont& font_;
  LanguageStyle style_;
  // The paragraph being laid out: its characters, glyphs and the pen position before each character.
  std::u32string chars_;
  std::vector<ShapedGlyph> shaped_;
  std::vector<int32_t> penAt_;  // 1/64 pixel; one more than chars_
};

}  // namespace mokuren
