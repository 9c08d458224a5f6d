// The writers' tools reading a game whose SCRIPT.DAT is anything: the lint's whole quick run, the
// disassembler on every script, and the translation template. Whatever the archive's index and the
// scripts hold, each tool must report what it cannot read and go on, never crash or read past the file.
//
// The input is a compact archive, as fuzz_archive_entry takes it: its first byte is the number of index
// entries it gives (entry 0 on), followed by those 8-byte entries, then the bytes of the file after the
// index (its length chosen by the input, so that cut-off archives come naturally).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "i18n/template_writer.h"
#include "i18n/translation_game.h"
#include "lint/game_lint.h"
#include "support/fuzz_engine.h"
#include "toolkit/archive_reader.h"
#include "toolkit/archive_writer.h"
#include "toolkit/scenario_disassembler.h"

using namespace mokuren;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t entries = std::min<size_t>(data[0], (size - 1) / 8);
  std::string file(ArchiveIndex::kMinFileSize, '\0');
  std::memcpy(file.data() + ArchiveIndex::kIndexOffset, data + 1, entries * 8);
  file.append(reinterpret_cast<const char*>(data + 1 + entries * 8), size - 1 - entries * 8);
  const auto& dir = fuzzing::GameDir();
  toolkit::WriteWholeFile(dir / "SCRIPT.DAT", file);

  lint::LintGame({dir, {}, true});

  const toolkit::LoadedArchive archive = toolkit::ReadArchiveBytes(file, ArchiveKind::Script, "SCRIPT.DAT");
  for (size_t n = 1; n < archive.Count(); ++n) {
    try {
      toolkit::DisassembleEntry(archive.Entry(n));
    } catch (const std::exception&) {
      // A script the disassembler cannot describe is told, and the others still are.
    }
  }

  const i18n::TranslationGame texts = i18n::ReadTranslationGame(dir, {});
  std::vector<std::string> problems;
  i18n::WriteTemplate(texts, (dir / "game.pot").string(), problems);
  return 0;
}
