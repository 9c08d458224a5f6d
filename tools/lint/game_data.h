// A game folder as the lint reads it: the three archives, every script parsed with its string tables,
// and the findings that reading them already gives (a missing archive, a script that does not parse).
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "lint/lint_finding.h"
#include "script/script_image.h"
#include "toolkit/archive_reader.h"

namespace mokuren::lint {

struct GameScript {
  ScriptImage image;
  std::vector<std::u16string> labels, jumps, resources, messages;
  int32_t end = 0;  // the first end instruction: nothing after it ever runs
};

struct GameData {
  // A folder's entries by their names, and by their names in lower case (the first listed of names that
  // differ only in case): each one's name as listed and whether it is a regular file.
  struct Listed {
    std::string name;
    bool regular = false;
  };
  struct Listing {
    std::unordered_map<std::string, Listed> exact, folded;
  };

  std::filesystem::path dir;
  // Archive file names as found in the folder (any letter case), empty when missing.
  std::string scriptFile, graphicFile, sysgrpFile;
  std::optional<toolkit::LoadedArchive> script, graphic, sysgrp;
  std::map<int, GameScript> scripts;  // the non-empty entries of SCRIPT.DAT
  // GRAPHIC.DAT's names, trimmed and in capitals, and the entry of each: the first line of a name before
  // ":END", as the engine's lookup finds it.
  std::unordered_map<std::u16string, int> pictureEntries;
  mutable std::unordered_map<std::string, Listing> listings;  // by the folder's path

  const GameScript* Script(int n) const;
  // A GRAPHIC.DAT entry that holds bytes inside the file.
  bool HasPicture(int entry) const;
  // The GRAPHIC.DAT entry of a picture name (as Kuri_FileNo finds it), 0 when it has none.
  int PictureEntry(std::u16string_view name) const;
  // A file of the game folder, looked up as the engine does (any case, "\" or "/"); empty when missing.
  // Each folder is listed once, so that 20,000 voices cost 20,000 lookups, not as many folder scans
  // (called from one thread at a time).
  std::optional<std::filesystem::path> File(const std::string& relative) const;
  // The regular files of a folder of the game (found in any case), listed once.
  std::vector<std::filesystem::path> FilesIn(const std::string& folder) const;
  // A path shown in findings: relative to the game folder, with "/".
  std::string Shown(const std::filesystem::path& path) const;
  // Every instruction that can run: those before each script's first end instruction.
  void ForEachInstruction(
      const std::function<void(int script, const GameScript&, int32_t step, const ScriptInstruction&)>& visit) const;
};

// The base of the checks over scripts: findings placed at a script's step.
class ScriptCheck {
 protected:
  ScriptCheck(const GameData& game, Findings& findings) : game_(game), findings_(findings) {}
  void Add(Severity s, const char* check, int script, int32_t step, std::string message) {
    findings_.AtStep(s, check, game_.scriptFile, script, step, std::move(message));
  }

  const GameData& game_;
  Findings& findings_;
};

// A file name as the engine builds it (with a backslash: Sound\M01.ogg), written with "/" as every path
// in the findings is.
std::string Slashed(std::string name);

// Whether a script's string table has line `line`; when not, `problem` tells which line of which table.
bool TableHasLine(const std::vector<std::u16string>& table, const char* name, int32_t line, std::string& problem);

GameData ReadGame(const std::filesystem::path& dir, Findings& findings);

}  // namespace mokuren::lint
