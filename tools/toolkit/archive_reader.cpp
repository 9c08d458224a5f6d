#include "toolkit/archive_reader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <span>
#include <stdexcept>

#include "base/text_codec.h"
#include "platform/game_files.h"
#include "toolkit/archive_writer.h"

namespace mokuren::toolkit {

namespace {

std::optional<ArchiveKind> KindOfName(const std::string& path) {
  const std::u16string name = UpperCase(FromUtf8(std::filesystem::path(path).filename().string()));
  for (int k = 1; k <= kArchiveKinds; ++k)
    if (name == FromUtf8(ArchiveFileName(static_cast<ArchiveKind>(k)))) return static_cast<ArchiveKind>(k);
  return std::nullopt;
}

}  // namespace

std::string_view LoadedArchive::Entry(size_t n) const {
  if (n >= ArchiveIndex::kEntries || index[n].size == 0 || (n < refused_.size() && refused_[n])) return {};
  return std::string_view(bytes).substr(index[n].offset, index[n].size);
}

std::string LoadedArchive::Name(size_t n) const {
  if (n == 0 || n - 1 >= names.lines.size()) return {};
  return ToUtf8(Trim(names.lines[n - 1]));
}

LoadedArchive CheckArchive(std::shared_ptr<const void> storage, std::string_view bytes, std::optional<ArchiveKind> kind,
                           const std::string& shown) {
  LoadedArchive a;
  a.storage_ = std::move(storage);
  a.bytes = bytes;
  if (a.bytes.size() < ArchiveIndex::kMinFileSize)
    throw std::runtime_error(shown + " is " + ByteCountText(a.bytes.size()) +
                             " long, too short for an archive index (at least 524,304 bytes)");
  a.index.Load(std::span(reinterpret_cast<const uint8_t*>(a.bytes.data()) + ArchiveIndex::kIndexOffset,
                         ArchiveIndex::kIndexBytes),
               a.bytes.size());
  // Each entry the engine would refuse to read is given as empty, with the reason.
  for (size_t n = 0; n < ArchiveIndex::kEntries; ++n) {
    const ArchiveIndexEntry& e = a.index[n];
    if (e.size == 0) continue;
    a.count_ = n + 1;
    std::string reason;
    if (!a.index.InFile(n)) {
      std::string at = ByteCountText(e.offset);
      at = at.substr(0, at.find(' '));  // a place, not a size
      reason = "points past the end of the file (its " + ByteCountText(e.size) + " start at byte " + at +
               " of a file of " + ByteCountText(a.bytes.size()) + "): it reads as empty";
    } else if (kind ? e.size > MaxEntryBytes(*kind, n) : n == 0 && e.size > kMaxNameListBytes) {
      const ArchiveKind k = kind.value_or(ArchiveKind::Script);
      const char* what = n == 0 ? "a name list" : k == ArchiveKind::Script ? "a script" : "a picture";
      reason = "holds " + ByteCountText(e.size) + ", more than the " + ByteLimitText(MaxEntryBytes(k, n)) + " " + what +
               " may have: it is not read";
    } else {
      continue;
    }
    if (a.refused_.empty()) a.refused_.resize(ArchiveIndex::kEntries);
    a.refused_[n] = true;
    a.problems.push_back({n, std::move(reason)});
  }
  a.names = ParseNameList(a.Entry(0));
  return a;
}

LoadedArchive ReadArchiveBytes(std::string bytes, std::optional<ArchiveKind> kind, const std::string& shown) {
  auto owned = std::make_shared<const std::string>(std::move(bytes));
  const std::string_view view = *owned;
  return CheckArchive(std::move(owned), view, kind, shown);
}

namespace {

// A read-only mapping of a whole file, unmapped with its last user.
struct Mapping {
  void* at = nullptr;
  size_t size = 0;
  ~Mapping() {
    if (at) ::munmap(at, size);
  }
};

}  // namespace

LoadedArchive LoadArchive(const std::string& path, std::optional<ArchiveKind> kind) {
  if (!kind) kind = KindOfName(path);
  // Opened as the engine opens game files: never waiting on a pipe, refusing what is not a regular file.
  GameFile check;
  std::string problem;
  if (!check.Open(path, problem)) throw std::runtime_error("cannot read " + path + ": " + problem);
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (fd >= 0) ::close(fd);
    throw std::runtime_error("cannot read " + path);
  }
  auto mapping = std::make_shared<Mapping>();
  mapping->size = static_cast<size_t>(st.st_size);
  if (mapping->size > 0) {
    void* at = ::mmap(nullptr, mapping->size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (at == MAP_FAILED) {
      ::close(fd);
      // A file system that cannot map: read it whole instead.
      return ReadArchiveBytes(ReadWholeFile(path), kind, path);
    }
    mapping->at = at;
  }
  ::close(fd);
  const std::string_view view(static_cast<const char*>(mapping->at), mapping->size);
  return CheckArchive(std::move(mapping), view, kind, path);
}

std::vector<std::string> DescribeProblems(const LoadedArchive& archive, size_t most) {
  std::vector<std::string> lines;
  for (const ArchiveProblem& p : archive.problems) {
    if (lines.size() == most) {
      lines.push_back("and " + std::to_string(archive.problems.size() - most) + " more entries that cannot be read");
      break;
    }
    lines.push_back("entry " + std::to_string(p.entry) + " " + p.reason);
  }
  return lines;
}

}  // namespace mokuren::toolkit
