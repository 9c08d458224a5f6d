#include "text/message_layout.h"

#include <algorithm>

namespace mokuren {

namespace {

bool Contains(std::u16string_view set, char16_t c) { return set.find(c) != std::u16string_view::npos; }

}  // namespace

MessageLineSet LayoutMessage(std::u16string_view source, std::u16string_view heroName,
                             std::u16string_view lineStartForbidden, std::u16string_view lineEndForbidden,
                             std::u16string* dropped) {
  MessageLineSet lines;
  // Name substitution.
  std::u16string text;
  text.reserve(source.size() + heroName.size());
  for (char16_t c : source) {
    if (c == kHeroPlaceholder)
      text.append(heroName);
    else
      text.push_back(c);
  }
  // Speaker: everything before the first "「".
  bool speech = false;
  if (size_t p = text.find(u'「'); p != std::u16string::npos) {
    lines[0] = text.substr(0, p);
    text.erase(0, p);
    speech = true;
  }
  // Up to three lines. `pos` is the front of the remaining text; the indent of a speech continuation
  // is put back into the text so that it counts toward the next line's length, as a character would.
  size_t pos = 0;
  for (int n = 1; n <= kMessageLineCount; ++n) {
    std::u16string line;
    const size_t take = std::min(kMessageLineLength, text.size() - pos);
    bool slashEnd = false;
    // At most a line's length of characters; a "/" ends the line early.
    for (size_t i = 0; i < take; ++i) {
      char16_t c = text[pos++];
      if (c == u'/') {
        slashEnd = true;
        break;
      }
      line.push_back(c);
    }
    // A 25th character that may not end a line starts the next one instead.
    if (line.size() == kMessageLineLength && Contains(lineEndForbidden, line.back())) {
      line.pop_back();
      --pos;
    }
    // One character that may not begin a line hangs at the end of this one.
    if (!slashEnd && pos < text.size() && Contains(lineStartForbidden, text[pos])) line.push_back(text[pos++]);
    // Store the line; in a speech, the next one starts with an indent.
    lines[n] = std::move(line);
    if (n == kMessageLineCount || pos >= text.size()) break;
    if (speech) {
      // Replace the consumed front by the indent: text becomes "　" + the remaining text.
      text.erase(0, pos);
      text.insert(text.begin(), u'　');
      pos = 0;
    }
  }
  if (dropped) *dropped = text.substr(std::min(pos, text.size()));
  return lines;
}

std::vector<std::u16string> SplitChoices(std::u16string_view text) {
  std::vector<std::u16string> choices;
  size_t pos = 0;
  do {
    std::u16string choice;
    const size_t take = std::min(kChoiceLength, text.size() - pos);
    for (size_t i = 0; i < take; ++i) {
      char16_t c = text[pos++];
      if (c == u',') break;
      choice.push_back(c);
    }
    choices.push_back(std::move(choice));
  } while (choices.size() < static_cast<size_t>(kMaxChoices) && pos < text.size());
  return choices;
}

int32_t ChoiceTop(int32_t count) {
  static constexpr int32_t kTops[] = {280, 280, 220, 220, 160, 160, 100, 100, 40, 40};
  return kTops[std::clamp(count, 0, kMaxChoices)];
}

int32_t ChoiceAt(int32_t count, int32_t y) {
  if (count < 1 || count > kMaxChoices || y < 40) return 0;
  // Band r (1-9) covers rows 40 + 60 (r - 1) to 79 + 60 (r - 1); the 20 rows between bands belong to none.
  const int32_t offset = y - 40;
  if (offset % 60 >= 40) return 0;
  const int32_t band = offset / 60 + 1;
  const int32_t firstBand = (ChoiceTop(count) - 40) / 60 + 1;
  if (band < firstBand || band >= firstBand + count) return 0;
  return band - firstBand + 1;
}

}  // namespace mokuren
