// Start-up of the game in the player's language: the translation chosen, loaded against the game's texts
// into the message window, and the caption and popup menu it gives the windows.
#include "app/TForm1.h"
#include "base/text_codec.h"
#include "dialogs/TCommentForm.h"
#include "dialogs/TConfigForm.h"
#include "dialogs/TQueryForm.h"
#include "graphics/picture_replacements.h"
#include "platform/game_files.h"
#include "text/TNameForm.h"
#include "text/engine_texts.h"
#include "text/engine_translation.h"
#include "text/game_translation.h"
#include "text/menu_captions.h"
#include "text/name_rules.h"
#include "text/translation_cache.h"

namespace mokuren {

namespace {
// How long the notice that a translation cannot be used stays, in 10 ms ticks: twice a usual notice, as it
// comes while the game starts.
constexpr int32_t kUnusableNoticeTicks = 600;
}  // namespace

void TForm1::LoadEngineTexts() {
  // The engine's own texts, from the translation shipped with the program, where the game's leaves them;
  // loaded before anything can end start-up, whose message is told in them.
  std::vector<std::string> problems;
  text_.Translation().LoadEngineTexts(EngineTranslationFile(EngineTranslationsDir(ExecutableDirectory()),
                                                            options().lang, options().environmentLanguages),
                                      problems);
  for (const std::string& problem : problems) errors_.Add(FromUtf8(problem));
}

void TForm1::StartTranslation() {
  if (StartGameTranslation() || text_.Translation().EngineTextsTranslated()) ShowEngineTextsTranslated();
  // The windows' faces, and the toolkit's own dialogs, in the language of their texts.
  platform().UseLanguage(text_.Translation().ShownLanguage());
}

bool TForm1::StartGameTranslation() {
  const std::string language = ChooseLanguage(GameDir, options().lang, options().environmentLanguages);
  if (language.empty()) return false;
  // Entries made for texts this game does not have are told apart against every script's texts, which are
  // gathered only when the translation is read: once per version of it, and again when the game changes.
  GameCheck game;
  const std::optional<PoFileStamp> scripts = StampOf(FindGameFile(GameDir, ArchiveFileName(ArchiveKind::Script)));
  const PoFileStamp s = scripts.value_or(PoFileStamp{});
  game.stamp = ContentHash(std::to_string(s.size) + " " + std::to_string(s.modified) + " " + std::to_string(s.inode) +
                           " " + MOKUREN_VERSION + " " + std::to_string(EngineTexts().size()) + " " + ToUtf8(Caption));
  game.texts = [this] {
    GameTexts texts;
    std::vector<uint8_t> bytes;
    for (size_t n = 1; n < ArchiveIndex::kEntries; ++n) {
      if (archives_.ArchiveIndexes[0][n].size == 0 || !archives_.ArchiveIndexes[0].InFile(n) ||
          archives_.Kuri_ReadFile(ArchiveKind::Script, static_cast<int>(n), bytes) != 0)
        continue;
      ScriptImage image;
      std::vector<std::string> problems;  // the script machine reports them when it loads the script
      ParseScriptImage(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), image, problems);
      texts.AddScript(static_cast<int>(n), image);
    }
    if (Caption != kDefaultCaption) texts.AddTitle(Caption);
    texts.AddDefaultHeroName();
    texts.AddEngineTexts();
    return texts;
  };
  GameTranslation& translation = text_.Translation();
  if (!translation.Load(GameDir, language, game, DefaultTranslationCacheDir())) {
    // Said once in the window too: the player asked for a language and is shown another.
    text_.NoticeText = translation.Unusable();
    text_.NoticeTimer = kUnusableNoticeTicks;
    return false;
  }
  if (Caption != kDefaultCaption) Caption = translation.Caption(Caption);
  // Names of the translation's script, and its hero's name.
  NameForm->UseNames(NameScriptOf(translation.Language()), translation.DefaultHeroName());
  // The translation's own pictures, in tl/LL beside tl/LL.po.
  const ArchiveIndex& system = archives_.ArchiveIndexes[static_cast<int>(ArchiveKind::System) - 1];
  graphics_.UsePictureReplacements(PictureReplacements::Find(
      FindGameFile(GameDir, "tl/" + language), archives_.GraphicNames, [&system](int32_t entry) {
        return entry >= 0 && static_cast<size_t>(entry) < ArchiveIndex::kEntries &&
               system[static_cast<size_t>(entry)].size != 0;
      }));
  return true;
}

void TForm1::ShowEngineTextsTranslated() {
  // The popup menu and the dialogs in the player's language.
  for (const MenuCaption& m : MenuCaptions()) platform().SetMenuCaption(m.item, text_.EngineText(m.caption));
  const TextTranslator engineText = [this](std::u16string_view original) { return text_.EngineText(original); };
  QueryForm->Translate(engineText);
  ConfigForm->Translate(engineText);
  NameForm->Translate(engineText);
  save_.CommentForm->Translate(engineText);
}

}  // namespace mokuren
