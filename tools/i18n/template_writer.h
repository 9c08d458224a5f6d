// `mokuren-i18n extract` and `init`: the gettext template (POT) of a game or of the engine's own texts, and a
// game's empty translation into one language, written by libgettextpo so that Poedit, Weblate and msgmerge
// read them as they read any other.
#pragma once

#include <string>
#include <vector>

#include "i18n/translation_game.h"

namespace mokuren::i18n {

// Writes the game's template to `file` ("-" for standard output): its messages, choices, speakers, title
// and hero's name. Returns false with the problems in `problems`.
bool WriteTemplate(const TranslationGame& game, const std::string& file, std::vector<std::string>& problems);

// The template of the engine's own texts (the one shipped as share/tl/mokuren.pot).
bool WriteEngineTemplate(const std::string& file, std::vector<std::string>& problems);

// A new translation of the game into `language` ("fr", "pt_BR"): every text of the template, none of them
// translated (not even with its original copied in, which msginit does for English), under a header
// naming the language.
bool WriteEmptyTranslation(const TranslationGame& game, const std::string& language, const std::string& file,
                           std::vector<std::string>& problems);

// The translator comments of a text (speaker, voice, what "①", "/" and "{file}" mean), one a line.
std::string TranslatorComments(const TranslatableText& text);

}  // namespace mokuren::i18n
