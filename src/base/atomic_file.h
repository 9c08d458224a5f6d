// Replacing a file so that a crash or a full disk never leaves a half-written one: the bytes go to a
// temporary file beside the target, are flushed to the disk, and only then take the target's name.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

namespace mokuren {

// The system calls by which a file is replaced. The game uses the system's own (System()); tests put a
// layer between that makes any one of them fail, or changes the folder before it, and check that the
// file being replaced survives each. A layer put in place with ScopedFileCalls serves every file the
// running engine replaces (SAVE.DAT, thumbnails), so a test can fill the disk under a game as it plays.
class FileCalls {
 public:
  virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t Write(int fd, const void* data, size_t size);
  virtual int Fsync(int fd);
  virtual int Close(int fd);
  virtual int Rename(const char* from, const char* to);
  virtual int Unlink(const char* path);
  // The calls the game replaces its files through: the system's own, or the layer a ScopedFileCalls put
  // in their place.
  static FileCalls& System();

 protected:
  ~FileCalls() = default;
};

// Puts `calls` in the place of the system's calls while it lives (tests; the engine thread alone
// replaces files, so nothing else sees the switch).
class ScopedFileCalls {
 public:
  explicit ScopedFileCalls(FileCalls& calls);
  ~ScopedFileCalls();
  ScopedFileCalls(const ScopedFileCalls&) = delete;
  ScopedFileCalls& operator=(const ScopedFileCalls&) = delete;

 private:
  FileCalls* previous_;
};

// The temporary name used while `target` is being replaced.
std::filesystem::path PendingFileName(const std::filesystem::path& target);

// Removes the temporary files that a crash while replacing files of `folder` left there. Their targets
// are as they were before the interrupted write, so nothing is lost.
void RemovePendingFiles(const std::filesystem::path& folder);

// Writes `bytes` to `target`, replacing it atomically. Returns an empty string on success; otherwise a
// short description of what failed (the system's reason included), and `target` is as it was before.
// A target that is a symbolic link stays one: the file it leads to is replaced, in that file's folder.
// `beforeRename`, when set, runs after the new file is complete and flushed, just before it takes the
// target's name (tests interrupt the process there).
std::string WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                                const std::function<void()>& beforeRename = {}, FileCalls& calls = FileCalls::System());

}  // namespace mokuren
