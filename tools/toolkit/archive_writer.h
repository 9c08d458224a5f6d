// Writing the data archives: 16 free bytes, an index of 65,536 (offset, size) pairs, then the entries.
// Entry 0 is the name list (CP932, CR LF, ending ":END"); entry k + 1 holds the k-th given file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace mokuren::toolkit {

struct ArchiveEntry {
  std::string name;   // UTF-8; stored in the name list in CP932
  std::string bytes;  // copied byte for byte; empty = an empty entry (size 0)
};

// The archive's bytes. Throws std::runtime_error for more than 65,535 entries, a name that CP932
// cannot hold or contains a line break, or an archive over 4 GiB.
std::string BuildArchive(const std::vector<ArchiveEntry>& entries);
void WriteArchive(const std::filesystem::path& file, const std::vector<ArchiveEntry>& entries);

// Reads a whole file; throws std::runtime_error naming it when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& file);
// The same without throwing: false, with `error` naming the file, when it cannot be read.
bool ReadWholeFile(const std::filesystem::path& file, std::string& bytes, std::string& error);
// Writes a whole file (through a temporary name, so a reader never sees half of it).
void WriteWholeFile(const std::filesystem::path& file, const std::string& bytes);

}  // namespace mokuren::toolkit
