// The game played in another language: the translation chosen at start-up (GAME_DIR/tl/LL.po), the face
// and layout its texts are drawn with, and the answers the message window asks for — the message to show
// for a script's line, a choice's items, the caption, an engine text.
//
// What the player was shown is what the readers get: the log, the text hook and speech are given the
// translation. Read marks and saves never see it, so a game saved in one language loads in another.
// A message whose text has no translation (untranslated, fuzzy, or made for another original) shows as
// the original, laid out as the original is.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "text/engine_translation.h"
#include "text/translated_layout.h"
#include "text/translation_catalog.h"

namespace mokuren {

// The language to play in: `option` (--lang) when given, otherwise the first of `environment` (the
// player's LANGUAGE entries, then LANG) for which the game has tl/LL.po, tried as given ("pt_BR") and
// by its language alone ("pt"). "ja" (and "C"/"POSIX" in the environment) mean the original; an empty
// result does too. An encoding or modifier ("en_US.UTF-8@euro") is left out.
std::string ChooseLanguage(const std::filesystem::path& gameDir, std::string_view option,
                           const std::vector<std::string>& environment);
// The player's LANGUAGE (its ":"-separated entries) then LANG, as ChooseLanguage takes them.
std::vector<std::string> EnvironmentLanguages(const char* language, const char* lang);

class GameTranslation {
 public:
  // `report` receives each problem once: bad PO input, entries for texts the game does not have, and texts
  // that do not fit.
  using Report = std::function<void(const std::u16string&)>;
  explicit GameTranslation(Report report);
  ~GameTranslation();

  // Loads GAME_DIR/tl/LANGUAGE.po, its entries checked against the game's texts when the file is read
  // (`game`). False when the file cannot be used: the game is then played in its original language, and
  // Unusable() says why. What reading the file finds is reported once per version of the file; a start
  // from its compiled copy reports nothing again, but why it cannot be used.
  bool Load(const std::filesystem::path& gameDir, const std::string& language, const GameCheck& game,
            const std::filesystem::path& cacheDir);
  // Why the last Load failed, in the player's language, as the notice line tells it; empty when it did not.
  const std::u16string& Unusable() const { return unusable_; }
  bool Active() const { return layout_ != nullptr; }
  const std::string& Language() const { return catalog_.Language(); }

  // The script shows message-table line `line` of script `script`, whose text is `original`: from now on
  // that text is shown as its translation, if it has one.
  void NoteMessage(int script, int line, const std::u16string& original);
  // Lays out a text as the message window shows it (a message, or a log entry): the translation noted
  // for it, or null when it shows as the original. The result stays valid until the next call.
  const TranslatedMessage* LayOut(const std::u16string& text, std::u16string_view heroName);
  // The message laid out last, or null when the original is on screen.
  const TranslatedMessage* Current() const { return current_ ? &*current_ : nullptr; }
  // The translated message as one line for the text hook and speech, or nothing when it shows as the
  // original.
  std::optional<std::u16string> ForReaders(const std::u16string& text, std::u16string_view heroName) const;

  // The items of a choice as they are shown, each with its layout when it is translated.
  struct ShownChoice {
    std::u16string text;
    std::optional<TranslatedChoice> layout;
  };
  std::vector<ShownChoice> Choices(int script, int line, const std::u16string& original);

  // The hero's name the name dialog offers until the player gives one: the translation's, or the original's.
  std::u16string DefaultHeroName() const;
  // The caption for the game's title, and an engine text ("{file}" and "{dir}" filled in afterwards).
  std::u16string Caption(const std::u16string& title) const;
  // An engine text the game's translation does not translate comes from the engine's own (LoadEngineTexts).
  std::u16string Engine(std::u16string_view text) const;
  // The engine's shipped translation of its own texts (engine_translation.h), for the player's language.
  bool LoadEngineTexts(const std::filesystem::path& file, std::vector<std::string>& problems) {
    return engineTexts_.Load(file, problems);
  }
  bool EngineTextsTranslated() const { return engineTexts_.Active(); }
  // The language the windows' own texts are shown in: the game's translation's, else the engine's shipped
  // translation's, else "ja".
  std::string ShownLanguage() const;

  // One line of text in the translation's face at `pixelSize`, drawn into a mask whose top `pixelSize` rows
  // are its line box (descenders below); null when no translation is played.
  std::shared_ptr<const CoverageMask> LineMask(std::u16string_view text, int32_t pixelSize);

  // Draws a line of a translated text into the mask with the top of its line box at row y.
  void Draw(CoverageMask& mask, const TypedLine& line, int32_t y);

 private:
  // A fault of the file in the player's words.
  std::u16string Reason(PoFault fault, const std::string& detail) const;
  void ReportOnce(const std::string& key, const std::u16string& line);

  Report report_;
  TranslationCatalog catalog_;
  EngineTranslation engineTexts_;
  std::unique_ptr<ShapedFont> font_;
  std::unique_ptr<TranslatedLayout> layout_;
  std::string file_;
  // Texts as the script gives them, and the translation each is shown as (with the context it comes from).
  struct Shown {
    SpokenText text;
    std::string context;
  };
  std::unordered_map<std::u16string, Shown> shown_;
  std::optional<TranslatedMessage> current_;
  std::unordered_set<std::string> reported_;
  std::u16string unusable_;
};

}  // namespace mokuren
