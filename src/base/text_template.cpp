#include "base/text_template.h"

#include <algorithm>

namespace mokuren {

namespace {

// The length of the blank that starts `text` ("{file}" is 6), or 0 when it does not start with one.
size_t BlankLength(std::u16string_view text) {
  if (text.empty() || text[0] != u'{') return 0;
  size_t n = 1;
  while (n < text.size() && text[n] >= u'a' && text[n] <= u'z') ++n;
  return n > 1 && n < text.size() && text[n] == u'}' ? n + 1 : 0;
}

}  // namespace

std::u16string FillIn(std::u16string_view text, std::initializer_list<TextField> fields) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const size_t length = BlankLength(text.substr(at));
    const std::u16string_view name = length ? text.substr(at + 1, length - 2) : std::u16string_view();
    const auto field = std::find_if(fields.begin(), fields.end(), [&](const TextField& f) { return f.name == name; });
    if (length && field != fields.end()) {
      out += field->value;
      at += length;
    } else {
      out += text[at++];
    }
  }
  return out;
}

std::vector<std::u16string_view> Placeholders(std::u16string_view text) {
  std::vector<std::u16string_view> blanks;
  for (size_t at = 0; at < text.size(); ++at) {
    const size_t length = BlankLength(text.substr(at));
    if (!length) continue;
    const std::u16string_view blank = text.substr(at, length);
    if (std::find(blanks.begin(), blanks.end(), blank) == blanks.end()) blanks.push_back(blank);
    at += length - 1;
  }
  return blanks;
}

}  // namespace mokuren
