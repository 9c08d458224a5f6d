#include "text/engine_translation.h"

#include <system_error>

#include "text/engine_texts.h"
#include "text/game_translation.h"
#include "text/translation_cache.h"

namespace mokuren {

std::filesystem::path EngineTranslationsDir(const std::filesystem::path& programDir) {
  for (const std::filesystem::path& dir :
       {programDir.parent_path() / "share" / "mokuren", programDir / "share" / "mokuren"}) {
    std::error_code ec;
    if (std::filesystem::is_directory(dir / "tl", ec)) return dir;
  }
  return {};
}

std::filesystem::path EngineTranslationFile(const std::filesystem::path& translationsDir, std::string_view option,
                                            const std::vector<std::string>& environment) {
  if (translationsDir.empty()) return {};
  const std::string language = ChooseLanguage(translationsDir, option, environment);
  if (language.empty()) return {};
  const std::filesystem::path file = TranslationCatalog::FileFor(translationsDir, language);
  std::error_code ec;
  if (std::filesystem::is_regular_file(file, ec)) return file;
  // "--lang pt_BR" with only pt shipped.
  const std::string base = language.substr(0, language.find_first_of("_-"));
  const std::filesystem::path general = TranslationCatalog::FileFor(translationsDir, base);
  return std::filesystem::is_regular_file(general, ec) ? general : std::filesystem::path();
}

bool EngineTranslation::Load(const std::filesystem::path& file, std::vector<std::string>& problems) {
  if (file.empty()) return false;
  // Read once per version, like a game's: later starts map its compiled copy.
  return catalog_.Load(file, problems, DefaultTranslationCacheDir());
}

std::u16string EngineTranslation::Translate(std::u16string_view original) const {
  return catalog_.Translate(kEngineTextContext, original);
}

const EngineTranslation& EngineTextsOnDemand::Loaded() {
  if (!read_) {
    read_ = true;
    std::vector<std::string> problems;
    translation_.Load(EngineTranslationFile(EngineTranslationsDir(programDir_), option_, environment_), problems);
    for (const std::string& problem : problems) report_(problem);
  }
  return translation_;
}

std::u16string EngineTextsOnDemand::Translate(std::u16string_view original) { return Loaded().Translate(original); }

TextTranslator EngineTextsOnDemand::Translator() {
  if (!Loaded().Active()) return {};
  return [this](std::u16string_view original) { return translation_.Translate(original); };
}

std::string EngineTextsOnDemand::Language() {
  const std::string language = Loaded().Language();
  return language.empty() ? "ja" : language;
}

}  // namespace mokuren
