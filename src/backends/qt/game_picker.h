// The window a player meets when the program starts without a game (from the desktop's menu): the games
// opened before, newest first, and a button that opens the folder picker.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/text_translator.h"

namespace mokuren {

struct RecentGame {
  std::filesystem::path dir;
  std::string title;  // UTF-8, empty when the game has none
};

// Asks for a game folder (a QApplication must exist), its texts given through `text` in the player's
// language. A folder without a game is refused with a word and the question stays; nothing when the player
// gives up.
std::optional<std::filesystem::path> PickGame(const std::vector<RecentGame>& recent, const TextTranslator& text);

}  // namespace mokuren
