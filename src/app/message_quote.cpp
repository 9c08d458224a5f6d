#include "app/message_quote.h"

namespace mokuren {

std::string Quoted(std::string_view text) {
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    // Continuation bytes (10xxxxxx) belong to the character before them.
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (characters++ == kQuotedCharacters) return "'" + std::string(text.substr(0, i)) + "…'";
  }
  return "'" + std::string(text) + "'";
}

}  // namespace mokuren
