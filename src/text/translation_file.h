// A translation's PO file as bytes, and the limits that keep a hostile one from taking the machine: the
// file's size, one entry's size, and how many of its problems are listed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mokuren {

// A game's every text translated takes a few tens of megabytes at most; a file larger than this is refused.
inline constexpr uint64_t kMaxPoFileBytes = uint64_t{256} << 20;
// One entry's keywords and strings; a longer entry is left out (and reported), the rest of the file used.
inline constexpr size_t kMaxPoEntryBytes = 64 * 1024;
// Problems listed for one file, as msgfmt lists the first ones; the rest are counted.
inline constexpr size_t kListedPoProblems = 20;

// Why a translation cannot be used.
enum class PoFault : uint8_t {
  None,
  Missing,     // there is no such file
  Folder,      // a folder (or another thing that is not a file) has its name
  Unreadable,  // the system refused to read it (detail: the system's words)
  TooLarge,    // over kMaxPoFileBytes (detail: its size in bytes)
  Malformed,   // gettext's grammar, the charset or UTF-8 (detail: the first problem, "LINE: message")
  NoFace,      // no installed face covers its language (detail: the language)
};

struct PoBytes {
  std::optional<std::string> bytes;
  PoFault fault = PoFault::None;
  std::string detail;
};

// Reads the file, refusing what is no regular file or is too large before reading it.
PoBytes ReadPoBytes(const std::filesystem::path& file);

// The fault in words for the problems lists ("cannot be read (Permission denied)").
std::string DescribePoFault(PoFault fault, std::string_view detail);

}  // namespace mokuren
