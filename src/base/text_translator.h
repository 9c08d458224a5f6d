// How a form of the engine's own is given its texts in the player's language: the Japanese original in,
// the text to show out (the original itself while the game is played untranslated).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace mokuren {

using TextTranslator = std::function<std::u16string(std::u16string_view)>;

}  // namespace mokuren
