#include "base/text_codec.h"

#include <algorithm>

namespace mokuren {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::u32string ToCodePoints(std::u16string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    out.push_back(c);
  }
  return out;
}

std::string ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t c : ToCodePoints(s)) AppendUtf8(out, c);
  return out;
}

void AppendUtf8(std::u16string& out, std::string_view s) {
  // Never more UTF-16 units than bytes: written in place, then cut to what was written.
  const size_t start = out.size();
  out.resize(start + s.size());
  char16_t* to = out.data() + start;
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      *to++ = b;
      ++i;
      continue;
    }
    // The well-formed sequences of the Unicode standard (its table 3-7): the second byte's range depends
    // on the first, which keeps out overlong forms, the surrogates U+D800-U+DFFF and anything past
    // U+10FFFF. An ill-formed sequence becomes one U+FFFD for its longest valid start (at least one byte),
    // as the standard recommends, and decoding goes on after it.
    size_t len = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    }
    char32_t c = b & (0x7F >> len);
    size_t k = 1;
    for (; k < len && i + k < s.size(); ++k) {
      const unsigned char t = static_cast<unsigned char>(s[i + k]);
      if (t < low || t > high) break;
      c = (c << 6) | (t & 0x3F);
      low = 0x80;
      high = 0xBF;
    }
    i += k;
    if (len == 0 || k < len) {
      *to++ = u'\uFFFD';
    } else if (c >= 0x10000) {
      c -= 0x10000;
      *to++ = static_cast<char16_t>(0xD800 + (c >> 10));
      *to++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      *to++ = static_cast<char16_t>(c);
    }
  }
  out.resize(static_cast<size_t>(to - out.data()));
}

std::u16string FromUtf8(std::string_view s) {
  std::u16string out;
  AppendUtf8(out, s);
  return out;
}

std::u16string ThroughCp932(std::u16string_view s) {
  // Plain ASCII needs no converter.
  if (std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x80; })) return std::u16string(s);
  return Cp932ToUtf16(Utf16ToCp932(s));
}

std::vector<std::string> SplitLines(std::string_view text, size_t maxLines) {
  std::vector<std::string> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size() && lines.size() < maxLines) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < text.size() && lines.size() < maxLines) lines.emplace_back(text.substr(start));
  return lines;
}

std::u16string Trim(std::u16string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] <= u' ') ++b;
  while (e > b && s[e - 1] <= u' ') --e;
  return std::u16string(s.substr(b, e - b));
}

std::u16string UpperCase(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out) {
    if (c >= u'a' && c <= u'z')
      c = static_cast<char16_t>(c - 32);
    else if (c >= 0xFF41 && c <= 0xFF5A)
      c = static_cast<char16_t>(c - 32);
  }
  return out;
}

}  // namespace mokuren
