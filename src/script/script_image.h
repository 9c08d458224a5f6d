// The stored form of a compiled script (one SCRIPT.DAT entry), its parser and its encoder. Nothing here
// needs the engine, so tools, tests and fuzzing use it alone.
//
// An entry is 16 unread bytes, the code size C and C bytes of 16-byte instructions, then four tables
// (labels, jump names, resource names, messages), each a 32-bit size and that many bytes of CP932 text.
// The parser never reads outside the entry: every fault it meets is mended to a defined result and
// described in `problems`, which the loader passes on to the error list.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/startup_message.h"
#include "script/ScriptInstruction.h"

namespace mokuren {

enum class ScriptTableKind : uint8_t { Labels, Jumps, Resources, Messages };
inline constexpr int kScriptTableCount = 4;
const char* ScriptTableName(ScriptTableKind kind);

struct ScriptTable {
  int32_t storedSize = 0;  // the size field as stored (0 or negative: no bytes)
  std::string bytes;       // CP932 text, one string per line
};

struct ScriptImage {
  std::array<uint8_t, 16> header{};     // not read by the engine
  std::vector<ScriptInstruction> code;  // C / 16 records
  std::array<ScriptTable, kScriptTableCount> tables;
  std::string trailer;  // bytes after the message table (not read by the engine)
};

// The largest code block a script may have: ScriptCode holds 65,536 records.
inline constexpr int32_t kMaxScriptCodeBytes = kMaxCodeBytes;
// ResourceNameArray has room for this many names.
inline constexpr size_t kMaxResourceNames = kResourceNameArraySize;

// Why an entry cannot be loaded at all, as a start-up text and its blanks, so that the player reads it in
// the language of the message around it; no text when the entry can be loaded.
struct ScriptEntryFault {
  ScriptEntryFault() = default;
  explicit ScriptEntryFault(const StartupText& what, std::u16string sizeBlank = {}, std::u16string leftBlank = {})
      : text(&what), size(std::move(sizeBlank)), left(std::move(leftBlank)) {}

  const StartupText* text = nullptr;
  std::u16string size;  // "{size}": the entry's or its code's size
  std::u16string left;  // "{left}": the bytes after the code size
  explicit operator bool() const { return text != nullptr; }
  // The fault in the words given (the error list's lines about scripts are in English).
  std::u16string In(const StartupWords& words) const;
  std::string English() const;
};

// The fault that makes ParseScriptImage replace the entry by the empty script, if any: an empty entry,
// one too short to hold its code size, or a code size that is negative, over 1 MiB or past its end.
ScriptEntryFault UnloadableScriptFault(std::string_view entry);

// Parses an entry. Mending rules:
// - an entry too short to hold its code size, or a code size that is negative, over 1 MiB or past the
//   end of the entry: the result is the empty script (a single end instruction, 255, and no tables);
// - a code size that is not a multiple of 16: the incomplete last record is dropped;
// - a table size past the end of the entry: the table gets the bytes that are there; the tables after
//   it are empty;
// - the entry ending before a table's size: that table and the ones after it are empty.
// Returns false when the script was replaced by the empty script.
bool ParseScriptImage(std::string_view entry, ScriptImage& image, std::vector<std::string>& problems);

// The inverse of the parser for a well-formed image: the exact entry bytes.
std::string EncodeScriptImage(const ScriptImage& image);

// The empty script the loader uses in place of a missing or unreadable entry.
ScriptImage EmptyScriptImage();

// A table's strings as the engine's string lists hold them: one a line, CP932 turned into UTF-16.
std::vector<std::u16string> ScriptTableLines(const ScriptTable& table);

}  // namespace mokuren
