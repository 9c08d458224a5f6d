// CP932 from tables, for builds whose C library has no CP932 converter (the web build's musl). The
// tables are made by tools/web/cp932_table.cpp from glibc's converter, and this file reads them the way
// cp932_iconv.cpp drives iconv, so both builds turn the same bytes into the same text.
#include <algorithm>
#include <cstdint>

#include "base/text_codec.h"

namespace mokuren {

namespace {

#include "cp932_table.inc"

constexpr uint16_t kUndefined = 0xFFFF;
constexpr uint16_t kLead = 0xFFFE;
constexpr int kFirstLead = 0x81, kFirstTrail = 0x40;
constexpr int kLeads = static_cast<int>(std::size(kCp932Double));
constexpr int kTrails = static_cast<int>(std::size(kCp932Double[0]));

uint16_t DoubleByte(unsigned char lead, unsigned char trail) {
  const int l = lead - kFirstLead, t = trail - kFirstTrail;
  return l >= 0 && l < kLeads && t >= 0 && t < kTrails ? kCp932Double[l][t] : kUndefined;
}

}  // namespace

std::u16string Cp932ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    uint16_t u = kCp932Single[b];
    size_t len = 1;
    if (u == kLead) {
      u = i + 1 < bytes.size() ? DoubleByte(b, static_cast<unsigned char>(bytes[i + 1])) : kUndefined;
      if (u != kUndefined) len = 2;
    }
    // An undefined or cut-off sequence: mark it and go on after its first byte.
    out.push_back(u == kUndefined ? u'・' : static_cast<char16_t>(u));
    i += len;
  }
  return out;
}

std::string Utf16ToCp932(std::u16string_view s, bool* ok) {
  if (ok) *ok = true;
  std::string out;
  for (char16_t c : s) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    const uint32_t key = static_cast<uint32_t>(c) << 16;
    const auto* it = std::lower_bound(std::begin(kCp932Encode), std::end(kCp932Encode), key);
    if (it != std::end(kCp932Encode) && (*it >> 16) == c) {
      const uint32_t code = *it & 0xFFFF;
      if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    } else {
      out.push_back('?');
      if (ok) *ok = false;
    }
  }
  return out;
}

}  // namespace mokuren
