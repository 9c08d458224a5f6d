#include "toolkit/archive_reader.h"

#include <span>
#include <stdexcept>

#include "toolkit/archive_writer.h"

namespace mokuren::toolkit {

std::string_view LoadedArchive::Entry(size_t n) const {
  if (n >= ArchiveIndex::kEntries || !index.InFile(n)) return {};
  return std::string_view(bytes).substr(index[n].offset, index[n].size);
}

size_t LoadedArchive::Count() const {
  size_t count = 0;
  for (size_t n = 0; n < ArchiveIndex::kEntries; ++n)
    if (index[n].size != 0) count = n + 1;
  return count;
}

LoadedArchive LoadArchive(const std::string& path) {
  LoadedArchive a;
  a.bytes = ReadWholeFile(path);
  if (a.bytes.size() < ArchiveIndex::kMinFileSize)
    throw std::runtime_error(path + " is " + std::to_string(a.bytes.size()) +
                             " bytes long, too short for an archive index (at least 524,304 bytes)");
  a.index.Load(std::span(reinterpret_cast<const uint8_t*>(a.bytes.data()) + ArchiveIndex::kIndexOffset,
                         ArchiveIndex::kIndexBytes),
               a.bytes.size());
  a.names = ParseNameList(a.Entry(0));
  return a;
}

}  // namespace mokuren::toolkit
