// What mokuren-build read and wrote the last time it built a game, so that the next build does only what
// changed (and the lint knows which sources SCRIPT.DAT was built from): each source file's size and
// modification time, and each archive's as written. Kept in the game folder as ".mokuren-build"; without
// it (or unreadable) the build is a whole one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace mokuren::toolkit {

struct FileStamp {
  uint64_t size = 0;
  int64_t modifiedNs = 0;
  bool operator==(const FileStamp&) const = default;
};

// The stamp of a regular file; nothing when there is none.
std::optional<FileStamp> StampOf(const std::filesystem::path& file);

struct BuildState {
  std::map<std::string, FileStamp> archives;  // by file name: "SCRIPT.DAT"
  std::map<std::string, FileStamp> inputs;    // by path relative to the game folder, with "/"
};

inline constexpr const char* kBuildStateFile = ".mokuren-build";

BuildState ReadBuildState(const std::filesystem::path& gameDir);
// False when it cannot be written (the next build is then a whole one).
bool WriteBuildState(const std::filesystem::path& gameDir, const BuildState& state);

}  // namespace mokuren::toolkit
