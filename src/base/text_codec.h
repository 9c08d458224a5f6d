// Conversions between the encodings the engine meets: UTF-16 inside the engine, CP932 (Shift-JIS with
// the vendor extensions, where "①" is 0x8740) in data files, UTF-8 on the command line and in dumps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mokuren {

std::string ToUtf8(std::u16string_view s);
// Code points of UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::u32string ToCodePoints(std::u16string_view s);
// Well-formed UTF-8 as UTF-16. Each ill-formed sequence (a stray byte, a cut-off sequence, an overlong form,
// an encoded surrogate, a value past U+10FFFF) becomes one U+FFFD, so that ToUtf8 gives back exactly the
// bytes of well-formed input and never a lone surrogate.
std::u16string FromUtf8(std::string_view s);
// FromUtf8 appended to `out`.
void AppendUtf8(std::u16string& out, std::string_view s);
// Bytes that CP932 does not define become U+30FB "・" one byte at a time, so that nothing is lost silently.
std::u16string Cp932ToUtf16(std::string_view bytes);
// Characters CP932 cannot hold become "?". ok (when given) tells whether every character was held. A few
// characters without a code of their own take a look-alike's and count as held, so they come back as it:
// 〜 (U+301C) as ～, − (U+2212) as －, — (U+2014) as ―, ‖ as ∥, ¥ as \ and ‾ as ~.
std::string Utf16ToCp932(std::u16string_view s, bool* ok = nullptr);
// The text as it comes back from a round trip through CP932: what CP932 cannot hold becomes "?".
std::u16string ThroughCp932(std::u16string_view s);

// Splits text into lines as a string list loads it: CR LF, a lone CR or a lone LF end a line; a last
// line without an end is kept, an empty text gives no lines. At most `maxLines` lines are kept.
std::vector<std::string> SplitLines(std::string_view text, size_t maxLines = SIZE_MAX);

// Trims blanks and control characters at both ends, as the archive name lookup does.
std::u16string Trim(std::u16string_view s);
// Upper-cases ASCII letters and full-width Latin letters (the platform's ANSI upper-casing of names).
std::u16string UpperCase(std::u16string_view s);

}  // namespace mokuren
