#include "lint/game_data.h"

#include <algorithm>

#include "archive/archive_index.h"
#include "platform/game_files.h"
#include "script/code_search.h"

namespace fs = std::filesystem;

namespace mokuren::lint {

const GameScript* GameData::Script(int n) const {
  auto it = scripts.find(n);
  return it == scripts.end() ? nullptr : &it->second;
}

bool GameData::HasPicture(int entry) const {
  return graphic && entry > 0 && entry < static_cast<int>(ArchiveIndex::kEntries) &&
         !graphic->Entry(static_cast<size_t>(entry)).empty();
}

int GameData::PictureEntry(std::u16string_view name) const {
  return graphic ? FindArchiveName(graphic->names.lines, name) : 0;
}

std::optional<fs::path> GameData::File(const std::string& relative) const {
  fs::path path = FindGameFile(dir, relative);
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  return path;
}

std::string GameData::Shown(const fs::path& path) const {
  std::error_code ec;
  fs::path relative = fs::relative(path, dir, ec);
  return (ec || relative.empty() ? path : relative).generic_string();
}

void GameData::ForEachInstruction(
    const std::function<void(int, const GameScript&, int32_t, const ScriptInstruction&)>& visit) const {
  for (const auto& [n, s] : scripts)
    for (int32_t i = 0; i < s.end; ++i) visit(n, s, i, s.image.code[static_cast<size_t>(i)]);
}

std::string Slashed(std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

bool TableHasLine(const std::vector<std::u16string>& table, const char* name, int32_t line, std::string& problem) {
  if (line >= 0 && static_cast<size_t>(line) < table.size()) return true;
  problem = "line " + std::to_string(line) + " of the " + name + " table, which has " + std::to_string(table.size()) +
            " lines";
  return false;
}

GameData ReadGame(const fs::path& dir, Findings& findings) {
  GameData game;
  game.dir = dir;
  auto load = [&](const char* name, std::string& file, std::optional<toolkit::LoadedArchive>& archive) {
    const std::optional<fs::path> path = game.File(name);
    file = path ? game.Shown(*path) : name;
    if (!path) {
      findings.AtFile(Severity::Error, "archive", file, "the archive is missing");
      return;
    }
    try {
      archive = toolkit::LoadArchive(path->string());
    } catch (const std::exception& e) {
      findings.AtFile(Severity::Error, "archive", file, e.what());
      return;
    }
    if (const size_t past = archive->index.CountPastEnd())
      findings.AtFile(Severity::Error, "archive", file,
                      std::to_string(past) + " entries point past the end of the file");
    if (!archive->names.hasEnd)
      findings.AtEntry(Severity::Warning, "archive", file, 0, "the name list has no \":END\" line");
  };
  load("SCRIPT.DAT", game.scriptFile, game.script);
  load("GRAPHIC.DAT", game.graphicFile, game.graphic);
  load("SYSGRP.DAT", game.sysgrpFile, game.sysgrp);

  if (!game.script) return game;
  for (size_t n = 1; n < game.script->Count(); ++n) {
    const std::string_view entry = game.script->Entry(n);
    if (entry.empty()) continue;
    GameScript& s = game.scripts[static_cast<int>(n)];
    std::vector<std::string> problems;
    ParseScriptImage(entry, s.image, problems);
    for (const std::string& p : problems)
      findings.AtStep(Severity::Error, "script-format", game.scriptFile, static_cast<int>(n), 0, p);
    s.labels = ScriptTableLines(s.image.tables[static_cast<int>(ScriptTableKind::Labels)]);
    s.jumps = ScriptTableLines(s.image.tables[static_cast<int>(ScriptTableKind::Jumps)]);
    s.resources = ScriptTableLines(s.image.tables[static_cast<int>(ScriptTableKind::Resources)]);
    s.messages = ScriptTableLines(s.image.tables[static_cast<int>(ScriptTableKind::Messages)]);
    s.end = CodeEnd(s.image.code);
    if (s.end == static_cast<int32_t>(s.image.code.size()))
      findings.AtStep(Severity::Error, "script-format", game.scriptFile, static_cast<int>(n),
                      static_cast<int>(s.image.code.size()) - 1,
                      "the code has no end instruction; the engine adds one after the last instruction");
  }
  return game;
}

}  // namespace mokuren::lint
