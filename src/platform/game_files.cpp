#include "platform/game_files.h"

#include <unistd.h>

#include <algorithm>
#include <system_error>
#include <vector>

namespace mokuren {

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
  return s;
}

}  // namespace

std::filesystem::path ExecutableDirectory() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path(ec);
  return exe.parent_path();
}

std::filesystem::path FindGameFile(const std::filesystem::path& dir, const std::string& relative) {
  std::string rel = relative;
  std::replace(rel.begin(), rel.end(), '\\', '/');
  while (!rel.empty() && rel.front() == '/') rel.erase(rel.begin());
  std::filesystem::path asWritten = dir / rel;
  std::error_code ec;
  if (std::filesystem::exists(asWritten, ec)) return asWritten;

  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= rel.size()) {
    size_t slash = rel.find('/', start);
    if (slash == std::string::npos) slash = rel.size();
    if (slash > start) parts.push_back(rel.substr(start, slash - start));
    start = slash + 1;
  }
  std::filesystem::path current = dir;
  for (const auto& part : parts) {
    std::filesystem::path exact = current / part;
    if (std::filesystem::exists(exact, ec)) {
      current = exact;
      continue;
    }
    std::string want = Lower(part);
    bool found = false;
    for (std::filesystem::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec)) {
      if (Lower(it->path().filename().string()) == want) {
        current = it->path();
        found = true;
        break;
      }
    }
    if (!found) return asWritten;
  }
  return current;
}

}  // namespace mokuren
