// Quoting input back in an error message: a bad line may be anything, up to a whole megabyte of one
// token, so a message shows only its start.
#pragma once

#include <string>
#include <string_view>

namespace mokuren {

// The number of characters of a bad input that an error message shows.
inline constexpr size_t kQuotedCharacters = 200;

// `text` in single quotes, cut after kQuotedCharacters UTF-8 characters (never inside one) with "…"
// marking the cut.
std::string Quoted(std::string_view text);

}  // namespace mokuren
