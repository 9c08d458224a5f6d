// A game's translation into one language: GAME_DIR/tl/LL.po, read with libgettextpo (po_file.h), looked up
// by context and original text (translatable_texts.h names the contexts).
//
// Only entries that are translated, not fuzzy, not obsolete and not plural are used; every other text
// falls back to the original, and so does an entry written for a different original (the game's text
// changed since it was translated). A translation is shown as plain text: a line break ("\n") is kept,
// a tab becomes a space, and every other control character (C0, DEL, C1) is removed; markup such as
// "<i>" is not interpreted and shows as written. "/" is an ordinary character in a translation.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/translatable_texts.h"
#include "text/translation_cache.h"

namespace mokuren {

// What a catalog's entries are checked against when its PO file is read: the game's texts, gathered only
// then (a long game's take a while), and a stamp of the game that tells when they may have changed.
struct GameCheck {
  uint64_t stamp = 0;
  std::function<GameTexts()> texts;
};

class TranslationCatalog {
 public:
  // The file of language `language` ("fr", "pt_BR") in a game folder: GAME_DIR/tl/LANGUAGE.po.
  static std::filesystem::path FileFor(const std::filesystem::path& gameDir, std::string_view language);

  // Reads a PO file. Problems (syntax errors at "FILE:LINE: …", a file that cannot be read, warnings, and
  // with `game` the entries that match no text of the game) are added to `problems`. False when the file
  // cannot be used (Fault() says why): the catalog is then empty, so the game runs in its original
  // language. With a cache folder (DefaultTranslationCacheDir() for the player's), the file is read once
  // per version: it leaves a compiled copy there (translation_cache.h), which later loads map instead,
  // reporting nothing again but why the file cannot be used.
  bool Load(const std::filesystem::path& file, std::vector<std::string>& problems,
            const std::filesystem::path& cacheDir = {}, const GameCheck* game = nullptr);
  PoFault Fault() const { return fault_; }
  // What is wrong, in a few words ("12: syntax error" for a malformed file).
  const std::string& FaultDetail() const { return faultDetail_; }

  bool Empty() const { return tables_.entries.empty(); }
  size_t Size() const { return tables_.entries.size(); }
  // The header's "Language:", or the file's name without ".po" when the header has none.
  const std::string& Language() const { return language_; }

  // The translation of `original` under `context`, or nothing.
  std::optional<std::u16string_view> Find(std::string_view context, std::u16string_view original) const;
  // The same with the original as the fallback.
  std::u16string Translate(std::string_view context, std::u16string_view original) const;

  // A message of a script, `original` being the whole text of its message-table line: the speaker and
  // what is said, each translated (or kept) on its own.
  SpokenText Message(int script, int line, std::u16string_view original) const;
  // The items of a choice as the engine splits the original, each translated (or kept); a translated item
  // may hold commas.
  std::vector<std::u16string> Choices(int script, int line, std::u16string_view original) const;

  // Translated entries that match no text of the game, as "FILE:LINE: …" lines: a translation made for
  // another game, or texts this game has changed since. They are never shown. The first
  // kListedPoProblems are listed, then a count of the rest.
  std::vector<std::string> Unmatched(const GameTexts& game) const;

 private:
  // Files an entry, its translation (UTF-8) as it is shown.
  void Add(std::string_view context, std::string_view original, std::string_view translation, size_t line);
  // Takes the compiled copy: its tables, or why its file cannot be used.
  bool Use(std::unique_ptr<CompiledCatalog> copy, std::vector<std::string>& problems, const GameCheck* game,
           const std::optional<PoFileStamp>& stamp);
  bool Fail(PoFault fault, std::string detail);

  CatalogData data_;                           // read from the PO file
  std::unique_ptr<CompiledCatalog> compiled_;  // or mapped from its compiled copy
  CatalogTables tables_;                       // over whichever holds the catalog
  PoFault fault_ = PoFault::None;
  std::string faultDetail_;
  std::string language_;
  std::string file_;
};

// A translation as it is shown (see above): control characters removed, tabs made spaces.
std::u16string ShownTranslation(std::u16string_view text);

}  // namespace mokuren
