// title.txt and the text decoders see bytes from outside: a title file, CP932 text from the archives,
// UTF-8 from the command line and the events file. Whatever the bytes:
// - the title is at most kMaxGameTitleLength units, without control characters or lone surrogates;
// - UTF-8 decoding gives back exactly what it was given, or marks what it could not read with U+FFFD,
//   and its result survives a second round trip unchanged;
// - CP932 text decoded and encoded again decodes to the same text, and text encoded to CP932 encodes
//   to the same bytes after a round trip (a character without a code of its own takes a look-alike's
//   once, and then keeps it).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/game_title.h"
#include "base/text_codec.h"

using namespace mokuren;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const GameTitle title = ParseGameTitle(bytes);
  if (title.text.size() > kMaxGameTitleLength) std::abort();
  for (char16_t c : title.text)
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) std::abort();
  if (FromUtf8(ToUtf8(title.text)) != title.text) std::abort();

  const std::u16string text = FromUtf8(bytes);
  const std::string utf8 = ToUtf8(text);
  if (utf8 != bytes && text.find(u'\uFFFD') == std::u16string::npos) std::abort();
  if (FromUtf8(utf8) != text) std::abort();

  const std::u16string decoded = Cp932ToUtf16(bytes);
  bool held = false;
  const std::string encoded = Utf16ToCp932(decoded, &held);
  if (held && Cp932ToUtf16(encoded) != decoded) std::abort();

  // The same bytes as UTF-16 units, lone surrogates and all.
  std::u16string units(size / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  const std::string cp932 = Utf16ToCp932(units, &held);
  if (Utf16ToCp932(Cp932ToUtf16(cp932)) != cp932) std::abort();
  if (ThroughCp932(ThroughCp932(units)) != ThroughCp932(units)) std::abort();
  return 0;
}
