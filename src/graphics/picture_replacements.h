// The pictures a translation replaces. A translation into LL may give any picture of the game in its own
// language: GAME_DIR/tl/LL/GRAPHIC.DAT/NAME.png replaces the GRAPHIC.DAT entry that the archive's name list
// calls NAME ("BG01.PNG", matched with or without its ".png"), and GAME_DIR/tl/LL/SYSGRP.DAT/N.png replaces
// system picture N; folders and files in any letter case. The engine shows a replacement wherever the
// picture it replaces is shown, when it has the same size (graphics/surfaces.cpp).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace mokuren {

// The two archives' folders under tl/LL, named as the archives are.
inline constexpr char kReplacedGraphicsFolder[] = "GRAPHIC.DAT";
inline constexpr char kReplacedSystemFolder[] = "SYSGRP.DAT";

class PictureReplacements {
 public:
  // A file of the folders that replaces no picture, and why.
  struct Stray {
    std::filesystem::path file;
    std::string why;  // "SYSGRP.DAT has no entry 99", "GRAPHIC.DAT names no picture \"X\"", …
  };

  PictureReplacements() = default;
  // The replacements in `folder` (GAME_DIR/tl/LL) for a game whose GRAPHIC.DAT name list is `graphicNames`
  // (entry n at index n - 1, as the archive lists them) and whose SYSGRP.DAT holds entry n when
  // `systemEntry(n)`. A folder that does not exist replaces nothing.
  static PictureReplacements Find(const std::filesystem::path& folder, const std::vector<std::u16string>& graphicNames,
                                  const std::function<bool(int32_t)>& systemEntry);

  // The file that replaces entry `entry` of SYSGRP.DAT (`system`) or GRAPHIC.DAT, or null.
  const std::filesystem::path* For(bool system, int32_t entry) const;
  // Stops replacing an entry (its file was found unusable and has been reported).
  void Drop(bool system, int32_t entry) { (system ? system_ : graphics_).erase(entry); }
  const std::map<int32_t, std::filesystem::path>& System() const { return system_; }
  const std::map<int32_t, std::filesystem::path>& Graphics() const { return graphics_; }
  const std::vector<Stray>& Strays() const { return strays_; }
  bool Empty() const { return system_.empty() && graphics_.empty(); }
  // A replacement's file as the player names it, from the game's folder on ("tl/en/SYSGRP.DAT/65.png").
  std::string Shown(const std::filesystem::path& file) const;

 private:
  std::filesystem::path gameDir_;
  std::map<int32_t, std::filesystem::path> system_, graphics_;
  std::vector<Stray> strays_;
};

// The file name a replacement of the GRAPHIC.DAT picture listed as `name` takes: the name itself when it
// ends in ".png" (in any case), else the name with ".png" added; empty for a name no file can have.
std::string ReplacementFileName(std::u16string_view name);

}  // namespace mokuren
