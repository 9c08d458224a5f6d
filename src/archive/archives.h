// The three data archives of a game (SCRIPT.DAT, GRAPHIC.DAT, SYSGRP.DAT): their indexes and name lists,
// read once at start-up, and single entries read on demand. Every file is opened against the game folder.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_index.h"
#include "base/archive_kind.h"

namespace mokuren {

class ErrorList;
class Platform;

class Archives {
 public:
  // `gameDir` is read at each call, so it may be set after construction (start-up finds the folder).
  Archives(Platform& platform, ErrorList& errors, const std::filesystem::path& gameDir)
      : platform_(platform), errors_(errors), gameDir_(gameDir) {}
  Archives(const Archives&) = delete;
  Archives& operator=(const Archives&) = delete;

  // Reads the three archive indexes and name lists. False when an archive is missing or shorter than its
  // index; the message naming the file has then been shown.
  bool Kuri_FileInit();
  // Copies entry `entry` of archive `kind` into `stream`. Returns 0 when bytes were copied, -1 for an
  // empty, out-of-range or unreadable entry, 0 for an unknown kind (stream untouched).
  int Kuri_ReadFile(ArchiveKind kind, int entry, std::vector<uint8_t>& stream);
  // Where entry `entry` of archive `kind` lies, for a reader of its own (another thread); empty for an entry
  // Kuri_ReadFile would not read.
  struct Span {
    std::filesystem::path file;
    uint64_t offset = 0;
    uint64_t size = 0;
  };
  std::optional<Span> Locate(ArchiveKind kind, int entry) const;
  // Entry number of a GRAPHIC.DAT image by name (1 or more), 0 when not listed or `kind` is another archive.
  int Kuri_FileNo(ArchiveKind kind, const std::u16string& name);

  // Numbered as the operations number them: [0] SCRIPT.DAT, [1] GRAPHIC.DAT, [2] SYSGRP.DAT.
  std::array<ArchiveIndex, kArchiveKinds> ArchiveIndexes;
  // Entry 0 of GRAPHIC.DAT, the only name list a lookup uses.
  std::vector<std::u16string> GraphicNames;
  std::vector<std::u16string> ScriptNames;
  std::vector<std::u16string> SysgrpNames;

 private:
  Platform& platform_;
  ErrorList& errors_;
  const std::filesystem::path& gameDir_;
};

}  // namespace mokuren
