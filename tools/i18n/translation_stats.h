// `mokuren-i18n stats`: how far a translation has come, script by script.
#pragma once

#include <map>
#include <string>

#include "i18n/translation_game.h"
#include "text/po_file.h"

namespace mokuren::i18n {

struct TranslationCounts {
  int translated = 0;    // the game's texts with a translation that is shown
  int fuzzy = 0;         // with a translation marked fuzzy (not shown until a translator clears the mark)
  int untranslated = 0;  // with no translation, or one made for a text the game has changed since
  int obsolete = 0;      // "#~" entries of the file, kept by msgmerge for texts the game no longer has
};

// By script; script 0 holds the speakers, the title and the engine's texts.
std::map<int, TranslationCounts> CountTranslations(const TranslationGame& game, const PoFile& po);

// The table mokuren-i18n prints: a row a script, "other" for script 0, and the total.
std::string FormatCounts(const std::map<int, TranslationCounts>& counts);

}  // namespace mokuren::i18n
