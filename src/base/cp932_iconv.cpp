// CP932 through the C library's iconv (glibc's "CP932" converter), as the native builds convert.
#include "base/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace mokuren {

namespace {

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle OpenIconv(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return IconvHandle(cd);
}

// Each thread opens its converters once: opening one looks up and loads glibc's conversion modules, which
// cost far more than converting a line (a game's scripts hold tens of thousands of lines). Every call
// starts from the converter's initial state; nullptr when the C library has no such converter.
iconv_t FromCp932() {
  thread_local const IconvHandle cd = OpenIconv("UTF-16LE", "CP932");
  if (cd) iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
  return static_cast<iconv_t>(cd.get());
}
iconv_t ToCp932() {
  thread_local const IconvHandle cd = OpenIconv("CP932", "UTF-16LE");
  if (cd) iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
  return static_cast<iconv_t>(cd.get());
}

}  // namespace

std::u16string Cp932ToUtf16(std::string_view bytes) {
  std::u16string out;
  const iconv_t cd = FromCp932();
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
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
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
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

std::string Utf16ToCp932(std::u16string_view s, bool* ok) {
  if (ok) *ok = true;
  std::string out;
  const iconv_t cd = ToCp932();
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
      if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1)) {
        out.append(buf, sizeof buf - dstLeft);
        converted = true;
      } else {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
      }
    }
    if (!converted) {
      out.push_back('?');
      if (ok) *ok = false;
    }
  }
  return out;
}

}  // namespace mokuren
