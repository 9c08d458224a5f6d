// A folder of scenario sources: a file whose name carries the number N (script1.txt, 02_day.txt,
// 101_morning.txt) becomes script N. The demo builder and the lint read a game's sources this way.
#pragma once

#include <filesystem>
#include <map>

namespace mokuren::toolkit {

// The first run of digits in the file's stem, or 0 when it has none (or more than five digits).
int ScriptNumberOfFile(const std::filesystem::path& file);

// The ".txt" files of dir by script number. Throws std::runtime_error naming the file for a name without
// a number from 1 to 65535, and for two files of the same number.
std::map<int, std::filesystem::path> FindScenarioSources(const std::filesystem::path& dir);

}  // namespace mokuren::toolkit
