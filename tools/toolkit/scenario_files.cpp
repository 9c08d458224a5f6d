#include "toolkit/scenario_files.h"

#include <cctype>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace mokuren::toolkit {

int ScriptNumberOfFile(const fs::path& file) {
  const std::string name = file.stem().string();
  size_t b = 0;
  while (b < name.size() && !std::isdigit(static_cast<unsigned char>(name[b]))) ++b;
  size_t e = b;
  while (e < name.size() && std::isdigit(static_cast<unsigned char>(name[e]))) ++e;
  if (b == e || e - b > 5) return 0;
  return std::stoi(name.substr(b, e - b));
}

std::map<int, fs::path> FindScenarioSources(const fs::path& dir) {
  std::map<int, fs::path> sources;
  for (const auto& e : fs::directory_iterator(dir)) {
    if (e.path().extension() != ".txt") continue;
    const int n = ScriptNumberOfFile(e.path());
    if (n < 1 || n > 65535) throw std::runtime_error(e.path().string() + ": the file name carries no script number");
    if (auto [at, added] = sources.emplace(n, e.path()); !added)
      throw std::runtime_error("two sources for script " + std::to_string(n) + ": " + at->second.string() + " and " +
                               e.path().string());
  }
  return sources;
}

}  // namespace mokuren::toolkit
