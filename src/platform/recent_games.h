// The games a player opened in the window, newest first, kept in the XDG config folder
// ($XDG_CONFIG_HOME/mokuren/recent-games, one folder a line in UTF-8) so that a start without a game can
// offer them again.
#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

namespace mokuren {

inline constexpr size_t kRecentGamesKept = 8;

// Where the list lives; empty when neither XDG_CONFIG_HOME nor HOME is set.
std::filesystem::path RecentGamesFile();
// The folders of the list that still hold a game, newest first (a missing or unreadable list is empty).
std::vector<std::filesystem::path> ReadRecentGames(const std::filesystem::path& file);
// Puts `game` first, drops its older line and the lines past kRecentGamesKept; the list is replaced whole
// (written beside it, then renamed), so a crash never leaves half a list, and left alone when that changes
// nothing. False when it could not be written.
bool RememberGame(const std::filesystem::path& file, const std::filesystem::path& game);
// True when the folder holds a game (its SCRIPT.DAT, in any letter case).
bool HoldsGame(const std::filesystem::path& dir);

}  // namespace mokuren
