#include "lint/game_data.h"

#include <algorithm>

#include "archive/archive_index.h"
#include "base/text_codec.h"
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
  const auto it = pictureEntries.find(UpperCase(Trim(name)) + u".PNG");
  return it == pictureEntries.end() ? 0 : it->second;
}

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
  return s;
}

}  // namespace

// As FindGameFile looks a path up: each component as written, or else the first entry of the folder whose
// name is the same in any case; from a listing of each folder made once.
std::optional<fs::path> GameData::File(const std::string& relative) const {
  std::string rel = relative;
  std::replace(rel.begin(), rel.end(), '\\', '/');
  std::string current = dir.string();
  const Listed* found = nullptr;
  for (size_t start = 0; start <= rel.size();) {
    size_t slash = rel.find('/', start);
    if (slash == std::string::npos) slash = rel.size();
    const std::string part = rel.substr(start, slash - start);
    start = slash + 1;
    if (part.empty()) continue;
    auto [it, fresh] = listings.try_emplace(current);
    Listing& listing = it->second;
    if (fresh) {
      std::error_code ec;
      for (fs::directory_iterator e(current, ec), end; !ec && e != end; e.increment(ec)) {
        Listed entry{e->path().filename().string(), e->is_regular_file(ec)};
        listing.folded.try_emplace(Lower(entry.name), entry);
        listing.exact.emplace(entry.name, std::move(entry));
      }
    }
    if (const auto hit = listing.exact.find(part); hit != listing.exact.end()) {
      found = &hit->second;
    } else if (const auto folded = listing.folded.find(Lower(part)); folded != listing.folded.end()) {
      found = &folded->second;
    } else {
      return std::nullopt;
    }
    current += "/" + found->name;
  }
  if (!found || !found->regular) return std::nullopt;
  return fs::path(current);
}

std::vector<fs::path> GameData::FilesIn(const std::string& folder) const {
  std::vector<fs::path> files;
  const fs::path at = FindGameFile(dir, folder);
  std::error_code ec;
  for (fs::directory_iterator e(at, ec), end; !ec && e != end; e.increment(ec))
    if (e->is_regular_file(ec)) files.push_back(e->path());
  return files;
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
    // Each entry that cannot be read, told with why (a few dozen at most: a cut-off archive loses many).
    constexpr size_t kMostTold = 20;
    for (size_t i = 0; i < archive->problems.size() && i < kMostTold; ++i)
      findings.AtEntry(Severity::Error, "archive", file, static_cast<int>(archive->problems[i].entry),
                       archive->problems[i].reason);
    if (archive->problems.size() > kMostTold)
      findings.AtFile(Severity::Error, "archive", file,
                      std::to_string(archive->problems.size() - kMostTold) +
                          " more entries cannot be read; the file may have been cut off");
    if (!archive->names.hasEnd)
      findings.AtEntry(Severity::Warning, "archive", file, 0, "the name list has no \":END\" line");
  };
  load("SCRIPT.DAT", game.scriptFile, game.script);
  load("GRAPHIC.DAT", game.graphicFile, game.graphic);
  load("SYSGRP.DAT", game.sysgrpFile, game.sysgrp);
  if (game.graphic)
    for (size_t i = 0; i < game.graphic->names.lines.size(); ++i) {
      std::u16string name = UpperCase(Trim(game.graphic->names.lines[i]));
      if (name == u":END") break;
      game.pictureEntries.try_emplace(std::move(name), static_cast<int>(i + 1));
    }

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
