// A game folder as the translation tool reads it: every text a translation may replace (the scripts of
// SCRIPT.DAT read with the engine's own parser, title.txt, the engine's texts), and, when the scenario
// sources are given, the source line of each script text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "graphics/picture_replacements.h"
#include "text/translatable_texts.h"

namespace mokuren::i18n {

struct TranslationGame {
  std::filesystem::path dir;
  GameTexts texts;
  std::u16string title;  // empty when the game has none
  // The pictures a translation may replace: GRAPHIC.DAT's name list (entry n at n - 1), and the entries
  // of both archives that hold a picture.
  std::vector<std::u16string> graphicNames;
  std::vector<int32_t> graphicEntries, systemEntries;
  // "source.txt:line" of a script's instruction, by script and step (only for sources that match).
  std::map<std::pair<int, int>, std::string> positions;
  std::vector<std::string> warnings;  // sources that do not match their script, a damaged script entry

  std::string Position(const TranslatableText& t) const;
};

// The pictures the translation into `language` replaces (GAME_DIR/tl/LANGUAGE), with the files that
// replace none.
PictureReplacements FindReplacements(const TranslationGame& game, const std::string& language);

// Throws std::runtime_error naming the file when SCRIPT.DAT is missing or not an archive.
TranslationGame ReadTranslationGame(const std::filesystem::path& gameDir,
                                    const std::map<int, std::filesystem::path>& sources);

}  // namespace mokuren::i18n
