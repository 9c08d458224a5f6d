#include "toolkit/cp932_fit.h"

#include <cstdio>

#include "base/text_codec.h"

namespace mokuren::toolkit {

std::optional<UnfitCharacter> FirstUnfitCharacter(std::string_view text) {
  const std::u16string units = FromUtf8(text);
  size_t index = 0;
  for (size_t i = 0; i < units.size(); ++index) {
    const bool pair = units[i] >= 0xD800 && units[i] <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                      units[i + 1] <= 0xDFFF;
    const std::u16string_view one(units.data() + i, pair ? 2 : 1);
    bool fits = true;
    Utf16ToCp932(one, &fits);
    if (!fits) {
      const uint32_t code = pair ? 0x10000 + ((static_cast<uint32_t>(units[i]) - 0xD800) << 10) +
                                       (static_cast<uint32_t>(units[i + 1]) - 0xDC00)
                                 : units[i];
      char hex[16];
      std::snprintf(hex, sizeof hex, "U+%04X", code);
      return UnfitCharacter{index, ToUtf8(one) + " (" + hex + ")"};
    }
    i += one.size();
  }
  return std::nullopt;
}

}  // namespace mokuren::toolkit
