// libFuzzer target: an archive's index and name list, as start-up and the name lookup read them.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "archive/archive_index.h"

using namespace mokuren;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The input is the archive file; the index is read as it stands, short inputs leave the rest zero.
  ArchiveIndex index;
  const size_t indexBytes = size > ArchiveIndex::kIndexOffset ? size - ArchiveIndex::kIndexOffset : 0;
  index.Load(std::span(data + (size > ArchiveIndex::kIndexOffset ? ArchiveIndex::kIndexOffset : 0), indexBytes), size);
  index.CountPastEnd();
  // Entry 0, when it lies in the file, is the name list; otherwise the whole input stands in for it.
  std::string_view list(reinterpret_cast<const char*>(data), size);
  if (index[0].size != 0 && index.InFile(0)) list = list.substr(index[0].offset, index[0].size);
  ArchiveNameList names = ParseNameList(list);
  FindArchiveName(names.lines, u"bg01");
  if (!names.lines.empty()) FindArchiveName(names.lines, names.lines.back());
  return 0;
}
