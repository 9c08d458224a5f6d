// The player's small settings files outside any game: where they live and how one is replaced.
#pragma once

#include <filesystem>
#include <string_view>

namespace mokuren {

// $XDG_CONFIG_HOME/mokuren, else ~/.config/mokuren; empty when neither variable is set.
std::filesystem::path ConfigFolder();
// Replaces `file` whole with `text` (written beside it, flushed, then renamed, its folder made first), so a crash
// never leaves half a file. False when it could not be written.
bool ReplaceConfigFile(const std::filesystem::path& file, std::string_view text);

}  // namespace mokuren
