// The game's title, which names the main window and the debug window. A game folder gives it in the file
// "title.txt" (any letter case): the first line, in UTF-8 or in CP932 like the rest of the game's text.
// Without the file, or with nothing usable in it, the caption is "Mokuren".
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mokuren {

inline constexpr char kGameTitleFile[] = "title.txt";
inline constexpr std::u16string_view kDefaultCaption = u"Mokuren";
// Longer titles are cut: a title bar shows no more, and a file of something else must not fill it.
inline constexpr size_t kMaxGameTitleLength = 64;  // UTF-16 units
// Only the start of the file is read; the first line lies well within it.
inline constexpr size_t kGameTitleReadLimit = 4096;

struct GameTitle {
  std::u16string text;                // empty when the folder gives none
  std::string file;                   // the title file's name as found, when there is one
  std::vector<std::string> problems;  // what is wrong with the file, in English
};

// The title in the file's bytes: the first line (ended by CR or LF), without a UTF-8 byte-order mark,
// read as UTF-8 when it is valid UTF-8 and as CP932 otherwise; control characters are dropped, blanks
// (ideographic spaces too) trimmed at both ends, and the rest cut to kMaxGameTitleLength without splitting
// a surrogate pair.
GameTitle ParseGameTitle(std::string_view bytes);

// The title of the game in `gameDir`; no problems when the folder has no title file.
GameTitle ReadGameTitle(const std::filesystem::path& gameDir);

}  // namespace mokuren
