#include "platform/recent_games.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <istream>
#include <sstream>
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

// The list's lines that name a folder, the first 4 * kRecentGamesKept of them.
std::vector<std::filesystem::path> ReadLines(std::istream& in) {
  std::vector<std::filesystem::path> lines;
  for (std::string line; lines.size() < 4 * kRecentGamesKept && std::getline(in, line);)
    if (!line.empty() && line.front() == '/') lines.emplace_back(line);
  return lines;
}

// The list's bytes; empty when there is none, or when the file is longer than 4 * kRecentGamesKept lines of
// the longest paths could be (no list this program wrote: it is replaced).
std::string ReadListText(const std::filesystem::path& file) {
  constexpr uintmax_t kMost = 4 * kRecentGamesKept * 4097;
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(file, ec);
  if (ec || size > kMost) return {};
  std::string text(static_cast<size_t>(size), '\0');
  std::ifstream in(file, std::ios::binary);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  return text;
}

}  // namespace

std::vector<std::filesystem::path> ReadRecentGames(const std::filesystem::path& file) {
  std::vector<std::filesystem::path> games;
  if (file.empty()) return games;
  std::ifstream in(file);
  for (std::filesystem::path& dir : ReadLines(in))
    if (games.size() < kRecentGamesKept && HoldsGame(dir)) games.push_back(std::move(dir));
  return games;
}

bool RememberGame(const std::filesystem::path& file, const std::filesystem::path& game) {
  if (file.empty() || !game.is_absolute()) return false;
  const std::string old = ReadListText(file);
  std::istringstream in(old);
  std::vector<std::filesystem::path> lines = ReadLines(in);
  std::erase(lines, game);
  lines.insert(lines.begin(), game);
  if (lines.size() > kRecentGamesKept) lines.resize(kRecentGamesKept);
  std::string text;
  for (const std::filesystem::path& dir : lines) text += dir.string() + '\n';
  // Playing the last game again changes nothing: the list is left as it is, not written and synced anew
  // at every start.
  if (old == text) return true;
  return ReplaceConfigFile(file, text);
}

}  // namespace mokuren
