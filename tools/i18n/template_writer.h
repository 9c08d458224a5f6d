// `mokuren-i18n extract`: the gettext template (POT) of a game, written by libgettextpo so that Poedit,
// Weblate and msgmerge read it as they read any other.
#pragma once

#include <string>
#include <vector>

#include "i18n/translation_game.h"

namespace mokuren::i18n {

// Writes the template to `file` ("-" for standard output). Returns false with the problems in `problems`.
bool WriteTemplate(const TranslationGame& game, const std::string& file, std::vector<std::string>& problems);

// The translator comments of a text (speaker, voice, what "①", "/" and "{file}" mean), one a line.
std::string TranslatorComments(const TranslatableText& text);

}  // namespace mokuren::i18n
