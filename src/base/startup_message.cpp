#include "base/startup_message.h"

#include "base/text_codec.h"

namespace mokuren {

std::u16string StartupWords::operator()(const StartupText& text) const {
  switch (language_) {
    case Language::Japanese: return std::u16string(text.original);
    case Language::English: return std::u16string(text.english);
    case Language::Translated: break;
  }
  return translator_(text.original);
}

std::string StartupMessage(const TextTranslator& translator, const StartupText& main, const StartupLine& line) {
  using Language = StartupWords::Language;
  if (translator && translator(main.original) != main.original)
    return ToUtf8(line(StartupWords(Language::Translated, translator)));
  return ToUtf8(line(StartupWords(Language::Japanese, translator)) + u"\n" +
                line(StartupWords(Language::English, translator)));
}

std::string StartupMessage(const TextTranslator& translator, const StartupText& text,
                           std::initializer_list<TextField> fields) {
  return StartupMessage(translator, text, [&](const StartupWords& words) { return FillIn(words(text), fields); });
}

}  // namespace mokuren
