// What a game's compiled scripts hold that a player can reach: every message, choice and label of each
// script in SCRIPT.DAT, by the step of its instruction, with its text. The explorer measures what it
// played against this.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace mokuren::explorer {

// A message or a choice: the instruction's step, its line of the message table and that line's text
// (UTF-8; a choice's options separated by commas, as the script writes them).
struct CatalogLine {
  int32_t step = 0;
  int32_t line = 0;
  std::string text;
};

struct CatalogLabel {
  int32_t step = 0;
  std::string name;
};

struct CatalogScript {
  int number = 0;
  int32_t steps = 0;  // instructions before the first end instruction, the end included
  std::vector<CatalogLine> messages;
  std::vector<CatalogLine> choices;
  std::vector<CatalogLabel> labels;
};

// Scripts from this number up are the album's scene replays: the story never plays them.
inline constexpr int kFirstAlbumScript = 101;

struct ScriptCatalog {
  std::map<int, CatalogScript> scripts;  // the non-empty entries of SCRIPT.DAT
};

// Reads GAME_DIR/SCRIPT.DAT. Throws std::runtime_error naming the file when it is missing or damaged.
ScriptCatalog LoadScriptCatalog(const std::filesystem::path& gameDir);

}  // namespace mokuren::explorer
