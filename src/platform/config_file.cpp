#include "platform/config_file.h"

#include <cstdint>
#include <cstdlib>

#include "base/atomic_file.h"

namespace mokuren {

std::filesystem::path ConfigFolder() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
    return std::filesystem::path(config) / "mokuren";
  if (const char* home = std::getenv("HOME"); home && *home) return std::filesystem::path(home) / ".config" / "mokuren";
  return {};
}

bool ReplaceConfigFile(const std::filesystem::path& file, std::string_view text) {
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  return WriteFileAtomically(file, {bytes, text.size()}).empty();
}

}  // namespace mokuren
