// A start-up message (base/startup_texts.h) put into words: in the player's language when the engine's
// translation gives its text one, otherwise in Japanese and then in English, a line each, as it was always
// told. A player whose language has no translation still reads it in English beside the Japanese.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#include "base/startup_texts.h"
#include "base/text_template.h"
#include "base/text_translator.h"

namespace mokuren {

// The words of one line of a message: each text of it in that line's language.
class StartupWords {
 public:
  enum class Language { Japanese, English, Translated };
  StartupWords(Language language, const TextTranslator& translator) : language_(language), translator_(translator) {}
  std::u16string operator()(const StartupText& text) const;
  Language language() const { return language_; }

 private:
  Language language_;
  const TextTranslator& translator_;
};

using StartupLine = std::function<std::u16string(const StartupWords&)>;

// The message in UTF-8, each line made by `line`: one line in the player's language when `translator`
// translates `main`, else the Japanese line and the English one.
std::string StartupMessage(const TextTranslator& translator, const StartupText& main, const StartupLine& line);
// A message of a single text with its blanks filled in.
std::string StartupMessage(const TextTranslator& translator, const StartupText& text,
                           std::initializer_list<TextField> fields);

}  // namespace mokuren
