// Finding game files. Game data made on Windows names its files in any letter case and with "\" between
// folders; a path that does not exist as written is looked up case-insensitively, component by component.
#pragma once

#include <filesystem>
#include <string>

namespace mokuren {

// The directory of the running executable.
std::filesystem::path ExecutableDirectory();

// dir / relative, where relative may use "\" or "/" and any letter case. When no file matches, the path
// as written (with "/") is returned, so that callers report the name they were given.
std::filesystem::path FindGameFile(const std::filesystem::path& dir, const std::string& relative);

}  // namespace mokuren
