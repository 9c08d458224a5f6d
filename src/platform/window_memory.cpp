#include "platform/window_memory.h"

#include "platform/config_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace mokuren {

namespace {

// The largest window kept: eight times the frame, as --scale allows.
constexpr int32_t kMaxSide = 8 * 800;
// Positions further out than this are no desktop's.
constexpr int32_t kMaxOffset = 1 << 20;

// FNV-1a over the folder's bytes: a stable name for the game's file, the same in every run.
uint64_t FolderHash(const std::string& folder) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : folder) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

std::filesystem::path Absolute(const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::weakly_canonical(std::filesystem::absolute(dir, ec), ec);
  return ec ? dir : absolute;
}

}  // namespace

std::filesystem::path WindowPlaceFile(const std::filesystem::path& gameDir) {
  const std::filesystem::path folder = ConfigFolder();
  if (folder.empty()) return {};
  char name[17];
  std::snprintf(name, sizeof name, "%016llx",
                static_cast<unsigned long long>(FolderHash(Absolute(gameDir).lexically_normal().string())));
  return folder / "windows" / name;
}

std::optional<WindowPlace> ReadWindowPlace(const std::filesystem::path& file) {
  if (file.empty()) return std::nullopt;
  std::ifstream in(file);
  std::string folder;
  WindowPlace p;
  if (!std::getline(in, folder) || !(in >> p.x >> p.y >> p.width >> p.height >> p.scale)) return std::nullopt;
  const auto within = [](int32_t v, int32_t low, int32_t high) { return v >= low && v <= high; };
  if (!within(p.x, -kMaxOffset, kMaxOffset) || !within(p.y, -kMaxOffset, kMaxOffset) ||
      !within(p.width, 400, kMaxSide) || !within(p.height, 300, kMaxSide) || !within(p.scale, 1, 8))
    return std::nullopt;
  return p;
}

bool WriteWindowPlace(const std::filesystem::path& file, const std::filesystem::path& gameDir, const WindowPlace& p) {
  if (file.empty()) return false;
  std::string folder = Absolute(gameDir).string();
  std::replace(folder.begin(), folder.end(), '\n', '?');  // the folder's line stays one line
  return ReplaceConfigFile(file, folder + '\n' + std::to_string(p.x) + ' ' + std::to_string(p.y) + ' ' +
                                     std::to_string(p.width) + ' ' + std::to_string(p.height) + ' ' +
                                     std::to_string(p.scale) + '\n');
}

}  // namespace mokuren
