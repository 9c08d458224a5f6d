#include "archive/archive_index.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "base/text_codec.h"
#include "graphics/png_decoder.h"
#include "platform/game_files.h"

namespace mokuren {

ArchiveIndex::ArchiveIndex()
    : entries_(static_cast<ArchiveIndexEntry*>(std::calloc(kEntries, sizeof(ArchiveIndexEntry)))) {
  if (!entries_) throw std::bad_alloc();
}

void ArchiveIndex::Load(std::span<const uint8_t> indexBytes, uint64_t fileSize) {
  fileSize_ = fileSize;
  // The entries given whole; any after them are empty.
  const size_t whole = std::min(kEntries, indexBytes.size() / 8);
  if constexpr (std::endian::native == std::endian::little) {
    // The file's little-endian pairs of 32-bit numbers are the table's layout.
    std::memcpy(entries_.get(), indexBytes.data(), whole * sizeof(ArchiveIndexEntry));
  } else {
    auto u32 = [&](size_t at) {
      return static_cast<uint32_t>(indexBytes[at]) | (static_cast<uint32_t>(indexBytes[at + 1]) << 8) |
             (static_cast<uint32_t>(indexBytes[at + 2]) << 16) | (static_cast<uint32_t>(indexBytes[at + 3]) << 24);
    };
    for (size_t n = 0; n < whole; ++n) entries_[n] = {u32(8 * n), u32(8 * n + 4)};
  }
  std::fill(entries_.get() + whole, entries_.get() + kEntries, ArchiveIndexEntry{0, 0});
}

bool ArchiveIndex::InFile(size_t entry) const {
  const ArchiveIndexEntry& e = entries_[entry];
  return e.size == 0 || static_cast<uint64_t>(e.offset) + e.size <= fileSize_;
}

size_t ArchiveIndex::CountPastEnd() const {
  size_t n = 0;
  for (size_t i = 0; i < kEntries; ++i)
    if (!InFile(i)) ++n;
  return n;
}

uint64_t MaxEntryBytes(ArchiveKind kind, size_t entry) {
  if (entry == 0) return kMaxNameListBytes;
  return kind == ArchiveKind::Script ? kMaxScriptEntryBytes : kMaxPngFileBytes;
}

std::string OversizedEntryProblem(ArchiveKind kind, size_t entry, uint64_t size) {
  const char* what = entry == 0 ? "a name list" : kind == ArchiveKind::Script ? "a script" : "a picture";
  return "entry " + std::to_string(entry) + (entry == 0 ? " (the name list)" : "") + " is " + ByteCountText(size) +
         ", more than the " + ByteLimitText(MaxEntryBytes(kind, entry)) + " " + what + " may have; it is not read";
}

ArchiveNameList ParseNameList(std::string_view bytes) {
  ArchiveNameList list;
  for (const std::string& line : SplitLines(bytes, ArchiveIndex::kEntries)) {
    list.lines.push_back(Cp932ToUtf16(line));
    if (!list.hasEnd && UpperCase(Trim(list.lines.back())) == u":END") list.hasEnd = true;
  }
  return list;
}

int FindArchiveName(const std::vector<std::u16string>& lines, std::u16string_view name) {
  const std::u16string key = UpperCase(Trim(name)) + u".PNG";
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::u16string line = UpperCase(Trim(lines[i]));
    if (line == u":END") return 0;
    if (line == key) return static_cast<int>(i + 1);
  }
  return 0;
}

}  // namespace mokuren
