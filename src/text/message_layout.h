// Layout of the message window and of choices: pure text rules, no drawing, so they can be checked on
// their own. The engine's drawing operations (Kumo_MakeMessage, Kumo_MakeSelect) build on these.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/frame.h"

namespace mokuren {

inline constexpr char16_t kHeroPlaceholder = u'①';
inline constexpr size_t kMessageLineLength = 25;  // 26 with one hanging character
inline constexpr int kMessageLineCount = 3;
inline constexpr size_t kChoiceLength = 31;
inline constexpr int kMaxChoices = 9;

// Characters that may not begin a line, and characters that may not end one.
inline constexpr std::u16string_view kLineStartForbidden =
    u"、。，．：；！？ーぁぃぅぇぉっゃゅょんァィゥェォッャュョンヵヶ）」』】";
inline constexpr std::u16string_view kLineEndForbidden = u"（「『【";

// Every character is placed and revealed as one cell this wide, whatever its glyph's width.
inline constexpr int32_t kCharacterCell = 28;
// The message window's width and the left edge of its text; choices are bands as wide as the frame.
inline constexpr int32_t kMessageWindowWidth = kFrameWidth;
inline constexpr int32_t kMessageTextLeft = 32;
inline constexpr int32_t kChoiceBandWidth = kFrameWidth;

// Entry 0 is the speaker's name, entries 1-3 the text lines (empty when unused).
using MessageLineSet = std::array<std::u16string, 4>;

// Substitutes the hero's name for every "①", splits off the speaker before the first "「", and breaks
// the rest into at most three lines of 25 characters: "/" forces a break (and is not shown), a 25th
// character that may not end a line moves down, one character that may not begin a line hangs on the
// line above, and continuation lines of speech are indented by a full-width space. Text beyond the
// third line is dropped; `dropped` (when given) receives it.
MessageLineSet LayoutMessage(std::u16string_view text, std::u16string_view heroName,
                             std::u16string_view lineStartForbidden, std::u16string_view lineEndForbidden,
                             std::u16string* dropped = nullptr);

// Splits a choice text at "," into at most nine choices of at most 31 characters each; a longer choice
// is cut and its remainder becomes the next choice. An empty text gives one empty choice.
std::vector<std::u16string> SplitChoices(std::u16string_view text);

// The left edge of a choice line of `length` characters: centred in its band as if every character
// were one cell wide. A line over 28 characters starts left of the band and runs off both ends.
constexpr int32_t ChoiceTextLeft(size_t length) {
  return kChoiceBandWidth / 2 - kCharacterCell / 2 * static_cast<int32_t>(length);
}

// The screen rows of the choice lines: the first line's top for a count of 1-9 (lines are 40 pixels
// high, 60 apart), and the choice number under screen row y (0 when y is on no line in use).
int32_t ChoiceTop(int32_t count);
int32_t ChoiceAt(int32_t count, int32_t y);

}  // namespace mokuren
