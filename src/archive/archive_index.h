// The index and name list of a data archive (SCRIPT.DAT, GRAPHIC.DAT, SYSGRP.DAT), parsed without a
// TForm1 so that tools, tests and fuzzing can use the same code as the engine.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/archive_kind.h"

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

  // Every entry empty. The table comes from calloc: its pages are only touched when an index is loaded.
  ArchiveIndex();

  // Reads the 524,288 index bytes of an archive file `fileSize` bytes long.
  void Load(std::span<const uint8_t> indexBytes, uint64_t fileSize);

  const ArchiveIndexEntry& operator[](size_t entry) const { return entries_[entry]; }
  uint64_t FileSize() const { return fileSize_; }
  // True when the entry's bytes lie wholly inside the file (an empty entry always does).
  bool InFile(size_t entry) const;
  // Number of non-empty entries whose bytes run past the end of the file.
  size_t CountPastEnd() const;

 private:
  struct FreeEntries {
    void operator()(ArchiveIndexEntry* p) const { std::free(p); }
  };
  std::unique_ptr<ArchiveIndexEntry[], FreeEntries> entries_;  // kEntries of them
  uint64_t fileSize_ = 0;
};

// The most bytes an entry may have, by what it holds. Entries are read whole, so a larger one (a damaged
// or hostile index, a sparse archive of gigabytes) is refused before anything of it is read.
// The name list (entry 0): 65,536 names of 255 bytes and a line end fit.
inline constexpr uint64_t kMaxNameListBytes = uint64_t{16} << 20;
// A script: at most 1 MiB of code; its four text tables get the rest, far more than any scenario writes.
inline constexpr uint64_t kMaxScriptEntryBytes = uint64_t{16} << 20;
// Entries 1 and up of GRAPHIC.DAT and SYSGRP.DAT are pictures, limited as the PNG decoder limits them.

// The limit for `entry` of archive `kind`.
uint64_t MaxEntryBytes(ArchiveKind kind, size_t entry);
// Why an entry of `size` bytes over that limit is not read, for the error list after the archive's name:
// "entry 0 (the name list) is 1,073,741,824 bytes, more than the 16 MiB a name list may have; it is not
// read".
std::string OversizedEntryProblem(ArchiveKind kind, size_t entry, uint64_t size);

// Entry 0's text as a string list (CP932 lines), and whether a ":END" line closes it. Only the first
// kEntries lines are kept: a line further down could name no entry.
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
