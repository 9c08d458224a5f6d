// Where a game's SAVE.DAT and THUMB/ live: in the game directory, as they always have, unless the player
// cannot write there (a game installed by a package, a read-only medium); then in a folder of the user's
// data directory that belongs to that game directory alone.
#pragma once

#include <filesystem>

namespace mokuren {

// True when files can be created in dir.
bool DirectoryWritable(const std::filesystem::path& dir);

// $XDG_DATA_HOME/mokuren/<game folder name>-<8 hex digits of a hash of its absolute path>, with
// ~/.local/share standing in for an unset or relative XDG_DATA_HOME. Two games in folders of the same
// name keep apart; the same folder always finds its saves again. A game folder name too long for the
// whole to fit in 255 bytes is cut at a character boundary.
std::filesystem::path UserSaveDirectory(const std::filesystem::path& gameDir);

}  // namespace mokuren
