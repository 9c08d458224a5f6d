// The index and name list of a data archive (SCRIPT.DAT, GRAPHIC.DAT, SYSGRP.DAT), parsed without a
// TForm1 so that tools, tests and fuzzing can use the same code as the engine.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mokuren {

struct ArchiveIndexEntry {
  uint32_t offset;  // absolute position of the entry's first byte
  uint32_t size;    // 0 = empty
};
static_assert(sizeof(ArchiveIndexEntry) == 8);
static_assert(offsetof(ArchiveIndexEntry, size) == 4);

class ArchiveIndex {
 public:
  static constexpr size_t kEntries = 65536;
  static constexpr size_t kIndexOffset = 16;
  static constexpr size_t kIndexBytes = kEntries * 8;                 // 524,288 bytes
  static constexpr size_t kMinFileSize = kIndexOffset + kIndexBytes;  // 524,304 bytes

  ArchiveIndex() : entries_(kEntries, ArchiveIndexEntry{0, 0}) {}

  // Reads the 524,288 index bytes of an archive file `fileSize` bytes long.
  void Load(std::span<const uint8_t> indexBytes, uint64_t fileSize);

  const ArchiveIndexEntry& operator[](size_t entry) const { return entries_[entry]; }
  uint64_t FileSize() const { return fileSize_; }
  // True when the entry's bytes lie wholly inside the file (an empty entry always does).
  bool InFile(size_t entry) const;
  // Number of non-empty entries whose bytes run past the end of the file.
  size_t CountPastEnd() const;

 private:
  std::vector<ArchiveIndexEntry> entries_;
  uint64_t fileSize_ = 0;
};

// Entry 0's text as a string list (CP932 lines), and whether a ":END" line closes it.
struct ArchiveNameList {
  std::vector<std::u16string> lines;
  bool hasEnd = false;
};
ArchiveNameList ParseNameList(std::string_view bytes);

// The name lookup of GRAPHIC.DAT: trimmed, upper-cased name + ".PNG" compared with each trimmed,
// upper-cased line until ":END". Returns the entry number (line + 1) or 0. A list without ":END"
// ends at its last line.
int FindArchiveName(const std::vector<std::u16string>& lines, std::u16string_view name);

}  // namespace mokuren
