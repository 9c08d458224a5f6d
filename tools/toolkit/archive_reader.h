// The tools' one reader of archive files: the whole file mapped into memory (pages read as they are
// looked at, so that a tool that reads only the index and a few entries of a picture archive of a
// gigabyte reads little of it), its index checked entry by entry (the engine reads entries from disk on
// demand, with the same limits). Every tool that reads
// SCRIPT.DAT, GRAPHIC.DAT or SYSGRP.DAT goes through it, so that a damaged or cut-off archive is told the
// same way everywhere and never reads past the file.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_index.h"
#include "base/archive_kind.h"

namespace mokuren::toolkit {

// An entry the index lists that the reader gives as empty, and why: "points past the end of the file
// (offset 600,000, 2,048 bytes; the file has 524,400)".
struct ArchiveProblem {
  size_t entry = 0;
  std::string reason;
};

struct LoadedArchive {
  std::string_view bytes;  // the whole file
  ArchiveIndex index;
  ArchiveNameList names;
  // Entries the index gives that cannot be read, in entry order. An entry of size 0 is empty and never
  // a problem, wherever its offset points.
  std::vector<ArchiveProblem> problems;

  // The entry's bytes; empty for an empty entry, one past the end of the file or over its kind's limit.
  std::string_view Entry(size_t n) const;
  // Number of entries up to the last non-empty one (entry 0 included).
  size_t Count() const { return count_; }
  // The entry's name in the name list (trimmed, UTF-8), empty when the list has none for it.
  std::string Name(size_t n) const;

 private:
  friend LoadedArchive CheckArchive(std::shared_ptr<const void> storage, std::string_view bytes,
                                    std::optional<ArchiveKind> kind, const std::string& shown);
  std::shared_ptr<const void> storage_;  // what `bytes` lies in: a mapping of the file, or a string
  std::vector<bool> refused_;            // entries listed in problems, by number (empty: none)
  size_t count_ = 0;
};

// Reads the archive file at `path`. `kind` applies that archive's entry limits (the engine's); without
// it the kind is taken from the file name (SCRIPT.DAT, GRAPHIC.DAT, SYSGRP.DAT in any case), and an
// archive of another name has only the name list's limit. Throws std::runtime_error naming the file
// when it cannot be read or is shorter than its index: nothing of it can be used then.
LoadedArchive LoadArchive(const std::string& path, std::optional<ArchiveKind> kind = std::nullopt);
// The same for bytes already read; `shown` names the file in the exception.
LoadedArchive ReadArchiveBytes(std::string bytes, std::optional<ArchiveKind> kind, const std::string& shown);

// "entry 12 points past the end of the file (…)", each problem on a line of its own, at most `most` of
// them and then how many more.
std::vector<std::string> DescribeProblems(const LoadedArchive& archive, size_t most = 20);

}  // namespace mokuren::toolkit
