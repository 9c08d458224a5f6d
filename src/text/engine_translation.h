// The engine's own texts in the player's language, from the translations shipped with the program
// (share/tl/LL.po in the source tree): the game picker, which comes before any game, and every engine text
// a game's own translation leaves untranslated. They are installed in PREFIX/share/mokuren/tl and copied
// into the build tree's share/mokuren/tl, and found from the program's own folder.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_translator.h"
#include "text/translation_catalog.h"

namespace mokuren {

// The folder holding tl/LL.po for the program in `programDir`: PROGRAM/../share/mokuren when installed
// (bin/ beside share/), else PROGRAM/share/mokuren or PROGRAM/../share/mokuren in the build tree; empty
// when there is none.
std::filesystem::path EngineTranslationsDir(const std::filesystem::path& programDir);

// The shipped translation the player asks for, as ChooseLanguage picks a game's (--lang first, then the
// player's LANGUAGE and LANG), or an empty path for the original Japanese or a language not shipped.
std::filesystem::path EngineTranslationFile(const std::filesystem::path& translationsDir, std::string_view option,
                                            const std::vector<std::string>& environment);

class EngineTranslation {
 public:
  // Loads `file` (nothing when empty); problems are added as "FILE:LINE: …". False when it cannot be used.
  bool Load(const std::filesystem::path& file, std::vector<std::string>& problems);
  bool Active() const { return !catalog_.Empty(); }
  // Its language ("en"), empty when none is loaded: the texts are then the Japanese originals.
  std::string Language() const { return Active() ? catalog_.Language() : std::string(); }
  // The translation of an engine text, or the text itself.
  std::u16string Translate(std::u16string_view original) const;

 private:
  TranslationCatalog catalog_;
};

// The shipped translation for the language the player asks for, read the first time a text is asked
// for: before any game, only the picker and a message that ends start-up need it, and a normal start
// never reads it.
class EngineTextsOnDemand {
 public:
  using Report = std::function<void(const std::string&)>;
  // `report` is told each problem with the file ("FILE:LINE: …").
  EngineTextsOnDemand(std::filesystem::path programDir, std::string option, std::vector<std::string> environment,
                      Report report)
      : programDir_(std::move(programDir)),
        option_(std::move(option)),
        environment_(std::move(environment)),
        report_(std::move(report)) {}
  // The translation of an engine text, or the text itself.
  std::u16string Translate(std::u16string_view original);
  // A translator for the player's language, or an empty one when none applies.
  TextTranslator Translator();
  // The language of the texts ("en"), "ja" for the Japanese originals.
  std::string Language();

 private:
  const EngineTranslation& Loaded();

  std::filesystem::path programDir_;
  std::string option_;
  std::vector<std::string> environment_;
  Report report_;
  bool read_ = false;
  EngineTranslation translation_;
};

}  // namespace mokuren
