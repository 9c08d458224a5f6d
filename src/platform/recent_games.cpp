#include "platform/recent_games.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "base/archive_kind.h"
#include "platform/config_file.h"
#include "platform/game_files.h"

namespace mokuren {

std::filesystem::path RecentGamesFile() {
  const std::filesystem::path folder = ConfigFolder();
  return folder.empty() ? folder : folder / "recent-games";
}

bool HoldsGame(const std::filesystem::path& dir) {
  std::error_code ec;
  return std::filesystem::is_regular_file(FindGameFile(dir, ArchiveFileName(ArchiveKind::Script)), ec);
}

namespace {

std::vector<std::filesystem::path> ReadLines(const std::filesystem::path& file) {
  std::vector<std::filesystem::path> lines;
  std::ifstream in(file);
  for (std::string line; lines.size() < 4 * kRecentGamesKept && std::getline(in, line);)
    if (!line.empty() && line.front() == '/') lines.emplace_back(line);
  return lines;
}

}  // namespace

std::vector<std::filesystem::path> ReadRecentGames(const std::filesystem::path& file) {
  std::vector<std::filesystem::path> games;
  if (file.empty()) return games;
  for (std::filesystem::path& dir : ReadLines(file))
    if (games.size() < kRecentGamesKept && HoldsGame(dir)) games.push_back(std::move(dir));
  return games;
}

bool RememberGame(const std::filesystem::path& file, const std::filesystem::path& game) {
  if (file.empty() || !game.is_absolute()) return false;
  std::vector<std::filesystem::path> lines = ReadLines(file);
  std::erase(lines, game);
  lines.insert(lines.begin(), game);
  if (lines.size() > kRecentGamesKept) lines.resize(kRecentGamesKept);
  std::string text;
  for (const std::filesystem::path& dir : lines) text += dir.string() + '\n';
  // Playing the last game again changes nothing: the list is left as it is, not written and synced anew
  // at every start.
  std::string old;
  if (std::ifstream in{file, std::ios::binary}) old.assign(std::istreambuf_iterator<char>(in), {});
  if (old == text) return true;
  return ReplaceConfigFile(file, text);
}

}  // namespace mokuren
