// Which character of a text Shift-JIS (CP932), the encoding of every text in the archives, cannot hold:
// named to the writer rather than leaving them to search the line for it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mokuren::toolkit {

struct UnfitCharacter {
  size_t index = 0;   // characters before it in the text (a character outside the BMP counts once)
  std::string shown;  // "🌸 (U+1F338)"
};

// The first character of the UTF-8 `text` that CP932 has no code for; nothing when every one fits.
std::optional<UnfitCharacter> FirstUnfitCharacter(std::string_view text);

}  // namespace mokuren::toolkit
