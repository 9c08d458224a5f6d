// Texts with named blanks ("{file}", "{size}", "{error}"): the engine's messages are kept whole, as
// templates, so that a translation can put each blank where its language wants it. One function fills
// them in, whatever the language the template was translated to.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace mokuren {

// What goes into the blank "{name}" (the name given without its braces).
struct TextField {
  std::u16string_view name;
  std::u16string value;
};

// `text` with every blank that `fields` names replaced by its value. Blanks nobody names stay as they are;
// what a value holds is never looked at again, so a file called "{size}" is shown as it is called.
std::u16string FillIn(std::u16string_view text, std::initializer_list<TextField> fields);

// The blanks of `text` ("{file}", with its braces: ASCII lowercase letters inside), each once, in order.
std::vector<std::u16string_view> Placeholders(std::u16string_view text);

}  // namespace mokuren
