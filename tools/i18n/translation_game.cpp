#include "i18n/translation_game.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "app/game_title.h"
#include "platform/game_files.h"
#include "toolkit/archive_reader.h"
#include "toolkit/archive_writer.h"
#include "toolkit/scenario_assembler.h"

namespace fs = std::filesystem;

namespace mokuren::i18n {

std::string TranslationGame::Position(const TranslatableText& t) const {
  const auto it = positions.find({t.script, t.step});
  return it == positions.end() ? std::string() : it->second;
}

namespace {

// The index and name list of a picture archive, read without its pictures; nothing for a missing archive.
void ReadPictureIndex(const fs::path& file, std::vector<std::u16string>* names, std::vector<int32_t>& entries) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in) return;
  const uint64_t size = static_cast<uint64_t>(in.tellg());
  if (size < ArchiveIndex::kMinFileSize) return;
  std::vector<uint8_t> bytes(ArchiveIndex::kIndexBytes);
  in.seekg(ArchiveIndex::kIndexOffset);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) return;
  ArchiveIndex index;
  index.Load(bytes, size);
  for (size_t n = 1; n < ArchiveIndex::kEntries; ++n)
    if (index[n].size != 0 && index.InFile(n)) entries.push_back(static_cast<int32_t>(n));
  if (!names || index[0].size == 0 || !index.InFile(0) || index[0].size > kMaxNameListBytes) return;
  std::string list(index[0].size, '\0');
  in.seekg(index[0].offset);
  if (in.read(list.data(), static_cast<std::streamsize>(list.size()))) *names = ParseNameList(list).lines;
}

}  // namespace

PictureReplacements FindReplacements(const TranslationGame& game, const std::string& language) {
  return PictureReplacements::Find(FindGameFile(game.dir, "tl/" + language), game.graphicNames, [&](int32_t entry) {
    return std::binary_search(game.systemEntries.begin(), game.systemEntries.end(), entry);
  });
}

TranslationGame ReadTranslationGame(const fs::path& gameDir, const std::map<int, fs::path>& sources) {
  TranslationGame game;
  game.dir = gameDir;
  ReadPictureIndex(FindGameFile(gameDir, "GRAPHIC.DAT"), &game.graphicNames, game.graphicEntries);
  ReadPictureIndex(FindGameFile(gameDir, "SYSGRP.DAT"), nullptr, game.systemEntries);
  const fs::path scriptFile = FindGameFile(gameDir, "SCRIPT.DAT");
  std::error_code ec;
  if (!fs::is_regular_file(scriptFile, ec)) throw std::runtime_error(scriptFile.string() + ": the archive is missing");
  const toolkit::LoadedArchive archive = toolkit::LoadArchive(scriptFile.string());
  for (const toolkit::ArchiveProblem& p : archive.problems)
    game.warnings.push_back(scriptFile.string() + ": script " + std::to_string(p.entry) + " " + p.reason +
                            "; its texts are left out");
  for (size_t n = 1; n < archive.Count(); ++n) {
    const std::string_view entry = archive.Entry(n);
    if (entry.empty()) continue;
    ScriptImage image;
    std::vector<std::string> problems;
    ParseScriptImage(entry, image, problems);
    for (const std::string& p : problems)
      game.warnings.push_back(scriptFile.string() + ":" + std::to_string(n) + ": " + p);
    const int script = static_cast<int>(n);
    game.texts.AddScript(script, image);

    const auto source = sources.find(script);
    if (source == sources.end()) continue;
    std::string text, error;
    if (!toolkit::ReadWholeFile(source->second, text, error)) {
      game.warnings.push_back(error);
      continue;
    }
    const std::string shown = source->second.string();
    const toolkit::AssemblyResult r = toolkit::AssembleScenario(text, shown);
    if (!r.ok() || EncodeScriptImage(r.image) != entry) {
      game.warnings.push_back(shown + ": does not match script " + std::to_string(script) + " of " +
                              scriptFile.string() + "; its texts are extracted without source lines");
      continue;
    }
    for (size_t step = 0; step < r.positions.size(); ++step)
      game.positions[{script, static_cast<int>(step)}] = shown + ":" + std::to_string(r.positions[step].line);
  }
  const GameTitle title = ReadGameTitle(gameDir);
  for (const std::string& p : title.problems) game.warnings.push_back(p);
  game.title = title.text;
  if (!title.text.empty()) game.texts.AddTitle(title.text);
  game.texts.AddDefaultHeroName();
  game.texts.AddEngineTexts();
  return game;
}

}  // namespace mokuren::i18n
