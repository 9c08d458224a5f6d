// A game folder as the lint reads it: the three archives, every script parsed with its string tables,
// and the findings that reading them already gives (a missing archive, a script that does not parse).
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
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
  std::filesystem::path dir;
  // Archive file names as found in the folder (any letter case), empty when missing.
  std::string scriptFile, graphicFile, sysgrpFile;
  std::optional<toolkit::LoadedArchive> script, graphic, sysgrp;
  std::map<int, GameScript> scripts;  // the non-empty entries of SCRIPT.DAT

  const GameScript* Script(int n) const;
  // A GRAPHIC.DAT entry that holds bytes inside the file.
  bool HasPicture(int entry) const;
  // The GRAPHIC.DAT entry of a picture name (as Kuri_FileNo finds it), 0 when it has none.
  int PictureEntry(std::u16string_view name) const;
  // A file of the game folder, looked up as the engine does (any case, "\" or "/"); empty when missing.
  std::optional<std::filesystem::path> File(const std::string& relative) const;
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
