#include "base/text_codec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <memory>

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

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle OpenIconv(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return IconvHandle(cd);
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

std::u16string FromUtf8(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      out.push_back(b);
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
      out.push_back(u'\uFFFD');
    } else if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

std::u16string Cp932ToUtf16(std::string_view bytes) {
  std::u16string out;
  auto cd = OpenIconv("UTF-16LE", "CP932");
  if (!cd) {  // no converter: keep ASCII, mark the rest
    for (char ch : bytes) out.push_back(static_cast<unsigned char>(ch) < 0x80 ? ch : u'・');
    return out;
  }
  std::string in(bytes);
  char* src = in.data();
  size_t srcLeft = in.size();
  std::string buf(in.size() * 2 + 8, '\0');
  while (srcLeft > 0) {
    char* dst = buf.data();
    size_t dstLeft = buf.size();
    size_t r = iconv(static_cast<iconv_t>(cd.get()), &src, &srcLeft, &dst, &dstLeft);
    size_t produced = buf.size() - dstLeft;
    for (size_t k = 0; k + 1 < produced; k += 2)
      out.push_back(
          static_cast<char16_t>(static_cast<unsigned char>(buf[k]) | (static_cast<unsigned char>(buf[k + 1]) << 8)));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // An undefined or cut-off sequence: mark it and go on after its first byte.
      out.push_back(u'・');
      ++src;
      --srcLeft;
      iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

std::string Utf16ToCp932(std::u16string_view s, bool* ok) {
  if (ok) *ok = true;
  std::string out;
  auto cd = OpenIconv("CP932", "UTF-16LE");
  std::string one;
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    bool converted = false;
    if (cd) {
      char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
      char* src = in;
      size_t srcLeft = 2;
      char buf[8];
      char* dst = buf;
      size_t dstLeft = sizeof buf;
      if (iconv(static_cast<iconv_t>(cd.get()), &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1)) {
        out.append(buf, sizeof buf - dstLeft);
        converted = true;
      } else {
        iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
      }
    }
    if (!converted) {
      out.push_back('?');
      if (ok) *ok = false;
    }
  }
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
