// Where the player left the main window of a game, kept between runs in the XDG config folder
// ($XDG_CONFIG_HOME/mokuren/windows/<a hash of the game's folder>): two lines of text, the folder (for
// a person who looks) and "x y width height scale".
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace mokuren {

struct WindowPlace {
  int32_t x = 0;  // the top left of the window's frame on the desktop
  int32_t y = 0;
  int32_t width = 0;  // the window's inside
  int32_t height = 0;
  int32_t scale = 1;  // the whole factor of 800x600 it showed the picture at
};

// The file of the game in `gameDir` (made absolute); empty when neither XDG_CONFIG_HOME nor HOME is set.
std::filesystem::path WindowPlaceFile(const std::filesystem::path& gameDir);
// The place kept in `file`; nothing when the file is missing, unreadable or holds sizes no window has.
std::optional<WindowPlace> ReadWindowPlace(const std::filesystem::path& file);
// Replaces the file whole (written beside it, then renamed); false when it could not be written.
bool WriteWindowPlace(const std::filesystem::path& file, const std::filesystem::path& gameDir,
                      const WindowPlace& place);

}  // namespace mokuren
