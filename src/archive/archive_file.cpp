// Reading the data archives: the indexes and name lists at start-up, then single entries on demand.
#include <memory>

#include "archive/archives.h"
#include "base/error_list.h"
#include "base/error_texts.h"
#include "base/startup_message.h"
#include "base/text_codec.h"
#include "platform/game_files.h"
#include "platform/platform.h"

namespace mokuren {

bool Archives::Kuri_FileInit() {
  std::vector<std::u16string>* lists[] = {&ScriptNames, &GraphicNames, &SysgrpNames};
  for (int k = 1; k <= kArchiveKinds; ++k) {
    const auto kind = static_cast<ArchiveKind>(k);
    const std::string name = ArchiveFileName(kind);
    // The index.
    const std::filesystem::path path = FindGameFile(gameDir_, name);
    GameFile f;
    std::string problem;
    // Told in the player's language, as the error list is.
    if (!f.Open(path, problem)) {
      platform_.FatalMessage(StartupMessage(errors_.Translator(), startup_text::kArchiveNotOpened,
                                            {{u"file", FromUtf8(path.string())}, {u"error", FromUtf8(problem)}}));
      return false;
    }
    const uint64_t length = f.Size();
    // Not cleared first: the read fills it, or the archive is refused.
    const std::unique_ptr<uint8_t[]> index(new uint8_t[ArchiveIndex::kIndexBytes]);
    if (length < ArchiveIndex::kMinFileSize ||
        !f.ReadAt(ArchiveIndex::kIndexOffset, index.get(), ArchiveIndex::kIndexBytes)) {
      platform_.FatalMessage(
          StartupMessage(errors_.Translator(), startup_text::kArchiveTooShort,
                         {{u"file", FromUtf8(path.string())}, {u"size", FromUtf8(std::to_string(length))}}));
      return false;
    }
    ArchiveIndex& table = ArchiveIndexes[k - 1];
    table.Load({index.get(), ArchiveIndex::kIndexBytes}, length);
    if (size_t past = table.CountPastEnd(); past > 0) {
      errors_.Add(error_text::kEntriesPastEnd, {{u"file", FromUtf8(name)}, {u"count", FromUtf8(std::to_string(past))}});
    }
    // The name list.
    std::vector<uint8_t> listBytes;
    Kuri_ReadFile(kind, 0, listBytes);
    ArchiveNameList list =
        ParseNameList(std::string_view(reinterpret_cast<const char*>(listBytes.data()), listBytes.size()));
    if (!list.hasEnd) {
      // A lookup of a missing name then ends at the last line instead of running past it.
      errors_.Add(error_text::kNoNameListEnd, {{u"file", FromUtf8(name)}});
    }
    *lists[k - 1] = std::move(list.lines);
  }
  return true;
}

int Archives::Kuri_ReadFile(ArchiveKind kind, int entry, std::vector<uint8_t>& stream) {
  const int k = static_cast<int>(kind);
  if (k < 1 || k > kArchiveKinds) return 0;
  stream.clear();
  if (entry < 0 || entry >= static_cast<int>(ArchiveIndex::kEntries)) return -1;
  const ArchiveIndex& table = ArchiveIndexes[k - 1];
  const ArchiveIndexEntry& e = table[static_cast<size_t>(entry)];
  if (e.size == 0) return -1;
  const std::string name = ArchiveFileName(kind);
  if (!table.InFile(static_cast<size_t>(entry))) {
    errors_.Add(error_text::kEntryPastEnd, {{u"file", FromUtf8(name)}, {u"entry", FromUtf8(std::to_string(entry))}});
    return -1;
  }
  // Nothing of an entry larger than anything of its kind could be is read.
  if (e.size > MaxEntryBytes(kind, static_cast<size_t>(entry))) {
    errors_.Add(FromUtf8(name + ": " + OversizedEntryProblem(kind, static_cast<size_t>(entry), e.size)));
    return -1;
  }
  // Each read opens and closes the file; no handle is kept between calls.
  GameFile f;
  std::string problem;
  stream.resize(e.size);
  if (!f.Open(FindGameFile(gameDir_, name), problem) || !f.ReadAt(e.offset, stream.data(), stream.size())) {
    stream.clear();
    errors_.Add(error_text::kEntryUnreadable, {{u"file", FromUtf8(name)}, {u"entry", FromUtf8(std::to_string(entry))}});
    return -1;
  }
  return 0;
}

std::optional<Archives::Span> Archives::Locate(ArchiveKind kind, int entry) const {
  const int k = static_cast<int>(kind);
  if (k < 1 || k > kArchiveKinds || entry < 0 || entry >= static_cast<int>(ArchiveIndex::kEntries)) return {};
  const ArchiveIndex& table = ArchiveIndexes[k - 1];
  const ArchiveIndexEntry& e = table[static_cast<size_t>(entry)];
  if (e.size == 0 || !table.InFile(static_cast<size_t>(entry)) ||
      e.size > MaxEntryBytes(kind, static_cast<size_t>(entry)))
    return {};
  return Span{FindGameFile(gameDir_, ArchiveFileName(kind)), e.offset, e.size};
}

int Archives::Kuri_FileNo(ArchiveKind kind, const std::u16string& name) {
  if (kind != ArchiveKind::Graphic) return 0;
  return FindArchiveName(GraphicNames, name);
}

}  // namespace mokuren
