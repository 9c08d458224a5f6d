// `mokuren-i18n stats`: how far a translation has come, script by script, and for the speakers, the title,
// the hero's name, the engine's texts and the pictures, each in a row of its own.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "i18n/translation_game.h"

namespace mokuren::i18n {

struct TranslationCounts {
  int translated = 0;    // the game's texts with a translation that is shown
  int fuzzy = 0;         // with a translation marked fuzzy (not shown until a translator clears the mark)
  int untranslated = 0;  // with no translation, one made for a text the game has changed since, or the
                         // Japanese original copied in unchanged
  int obsolete = 0;      // "#~" entries of the file, kept by msgmerge for texts the game no longer has
};

struct TranslationStats {
  std::map<int, TranslationCounts> scripts;  // the messages and choices, by script
  TranslationCounts speakers, title, heroName;
  // The engine's own texts the file gives (the engine has its own translations of them): only those the
  // file has are counted.
  TranslationCounts engine;
  // Translations that are their Japanese original copied unchanged (msginit fills an English file so):
  // counted as untranslated, and named apart.
  int copied = 0;
  size_t systemReplaced = 0, systemPictures = 0, graphicsReplaced = 0, graphicsPictures = 0;
  size_t strayPictures = 0;  // files under tl/LL that replace no picture
};

// Reads the PO file entry by entry and counts it against the game. Nothing, with the problems, when the
// file cannot be read.
std::optional<TranslationStats> CountTranslationFile(const TranslationGame& game, const std::filesystem::path& file,
                                                     std::vector<std::string>& problems);

// The table mokuren-i18n prints.
std::string FormatStats(const TranslationStats& stats);

}  // namespace mokuren::i18n
