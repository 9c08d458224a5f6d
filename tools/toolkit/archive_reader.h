// Reading a whole archive file in memory (the tools; the engine reads entries from disk on demand).
#pragma once

#include <string>
#include <string_view>

#include "archive/archive_index.h"

namespace mokuren::toolkit {

struct LoadedArchive {
  std::string bytes;
  ArchiveIndex index;
  ArchiveNameList names;

  // The entry's bytes; empty for an empty entry or one that points past the end of the file.
  std::string_view Entry(size_t n) const;
  // Number of entries up to the last non-empty one (entry 0 included).
  size_t Count() const;
};

// Throws std::runtime_error naming the file when it is missing or shorter than its index.
LoadedArchive LoadArchive(const std::string& path);

}  // namespace mokuren::toolkit
