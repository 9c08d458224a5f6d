// The three data archives, numbered as the file operations number them.
#pragma once

namespace mokuren {

enum class ArchiveKind : int { Script = 1, Graphic = 2, System = 3 };

inline constexpr int kArchiveKinds = 3;

// "SCRIPT.DAT", "GRAPHIC.DAT", "SYSGRP.DAT"; empty for a number that is no archive.
constexpr const char* ArchiveFileName(ArchiveKind kind) {
  switch (kind) {
    case ArchiveKind::Script: return "SCRIPT.DAT";
    case ArchiveKind::Graphic: return "GRAPHIC.DAT";
    case ArchiveKind::System: return "SYSGRP.DAT";
  }
  return "";
}

}  // namespace mokuren
