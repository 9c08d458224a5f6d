// Finding and opening game files. Game data made on Windows names its files in any letter case and with
// "\" between folders; a path that does not exist as written is looked up case-insensitively, component by
// component. Whatever is found is opened only when it is a regular file, and without waiting: a named pipe
// or a device among the game's files would otherwise hold open() until something writes to it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mokuren {

// The directory of the running executable.
std::filesystem::path ExecutableDirectory();

// dir / relative, where relative may use "\" or "/" and any letter case. When no file matches, the path
// as written (with "/") is returned, so that callers report the name they were given.
std::filesystem::path FindGameFile(const std::filesystem::path& dir, const std::string& relative);

// A game file open for reading. Never blocks in Open: the file is opened with O_NONBLOCK and kept only
// when the open descriptor is a regular file.
class GameFile {
 public:
  GameFile() = default;
  ~GameFile();
  GameFile(const GameFile&) = delete;
  GameFile& operator=(const GameFile&) = delete;

  // Opens `path`. False, with `problem` saying why in an English clause ("the file is missing", "it is a
  // named pipe, not a regular file"), when it is missing, not a regular file or cannot be opened.
  bool Open(const std::filesystem::path& path, std::string& problem);
  bool IsOpen() const { return fd_ >= 0; }
  // The file's size when it was opened.
  uint64_t Size() const { return size_; }
  // Reads exactly `size` bytes from `offset`; false on an error or when the file ends first.
  bool ReadAt(uint64_t offset, void* buffer, size_t size) const;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

// Reads a whole game file that is a regular file of at most `limit` bytes. False, with `problem` as
// GameFile::Open gives it, or naming the file's size and the limit when it is larger: nothing of such a
// file is read, so a huge or sparse file costs neither memory nor time.
bool ReadGameFile(const std::filesystem::path& path, uint64_t limit, std::vector<uint8_t>& bytes, std::string& problem);

// "4,294,967,296 bytes": a size as messages give it, its digits grouped in threes.
std::string ByteCountText(uint64_t bytes);
// "128 MiB", "1 GiB" or "520 KiB" for a limit that is a whole number of such units, else as ByteCountText.
std::string ByteLimitText(uint64_t bytes);

}  // namespace mokuren
