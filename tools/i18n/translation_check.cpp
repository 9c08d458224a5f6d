#include "i18n/translation_check.h"

#include <algorithm>

#include "app/game_title.h"
#include "base/text_codec.h"
#include "base/text_template.h"
#include "text/TNameForm.h"
#include "text/engine_texts.h"
#include "text/translation_catalog.h"

namespace mokuren::i18n {

namespace {

std::string Shortened(std::u16string_view s) {
  constexpr size_t kShown = 24;
  return "\"" + ToUtf8(s.substr(0, kShown)) + (s.size() > kShown ? "…" : "") + "\"";
}

bool HasControl(std::u16string_view s) {
  return std::any_of(s.begin(), s.end(),
                     [](char16_t c) { return c != u'\n' && (c < 0x20 || (c >= 0x7F && c <= 0x9F)); });
}

class Checker {
 public:
  Checker(const TranslationGame& game, TranslatedLayout& layout, const std::function<void(const CheckFinding&)>& out)
      : game_(game), layout_(layout), out_(out) {}

  void Entry(const PoEntryView& e) {
    line_ = e.line;
    context_ = e.hasContext ? std::string(e.context) : "(no context)";
    if (e.plural) return Warn("plural", "a plural entry: the game has no such texts, and it is never shown");
    const std::optional<TextContext> kind = e.hasContext ? ParseTextContext(e.context) : std::nullopt;
    if (!game_.texts.Has(e.context, e.msgid) || !kind) {
      const TranslatableText* now = kind ? game_.texts.Find(e.context) : nullptr;
      if (now)
        return Warn("changed-original", "the game's text is now " + Shortened(now->original) +
                                            "; this translation is not shown (msgmerge the new template, then review)");
      return Warn("unknown-context",
                  "no text of this game has this context and original (a translation for "
                  "another game, or a text the game no longer has); it is not shown");
    }
    if (e.msgstr.empty() || e.fuzzy) return;
    const std::u16string original = FromUtf8(e.msgid);
    const std::u16string raw = FromUtf8(e.msgstr);
    if (HasControl(raw)) Warn("control-character", "control characters other than a new line are removed when shown");
    const std::u16string text = ShownTranslation(raw);
    switch (kind->kind) {
      case TextKind::Message: return Message(original, text);
      case TextKind::ChoiceItem: return Choice(text);
      case TextKind::Speaker: return Speaker(text);
      case TextKind::Title:
        if (text.size() > kMaxGameTitleLength)
          Warn("title", "the caption shows only the first " + std::to_string(kMaxGameTitleLength) + " characters");
        return;
      case TextKind::Engine:
        for (std::u16string_view mark : Placeholders(original))
          if (text.find(mark) == std::u16string::npos)
            Error("placeholder", ToUtf8(mark) + " is missing: the engine puts a name or a value there");
        return;
    }
  }

 private:
  void Add(bool error, const char* rule, std::string message) {
    out_({error, rule, line_, context_, std::move(message)});
  }
  void Warn(const char* rule, std::string message) { Add(false, rule, std::move(message)); }
  void Error(const char* rule, std::string message) { Add(true, rule, std::move(message)); }

  void Message(const std::u16string& original, const std::u16string& text) {
    if (original.find(kHeroPlaceholder) != std::u16string::npos && text.find(kHeroPlaceholder) == std::u16string::npos)
      Warn("hero-name", "the original names the hero (\"①\"); the translation does not");
    const TranslatedMessage m = layout_.Message({}, text, TNameForm::kDefaultName);
    if (m.overflow) {
      Error("message-overflow", "the translation runs past three lines; " + Shortened(m.dropped) + " is never shown");
    } else if (text.find(kHeroPlaceholder) != std::u16string::npos) {
      const std::u16string longest(TNameForm::kMaxLength, u'名');
      if (layout_.Message({}, text, longest).overflow)
        Warn("name-overflow", "with a hero's name of " + std::to_string(TNameForm::kMaxLength) +
                                  " characters the translation runs past three lines");
    }
  }

  void Choice(const std::u16string& text) {
    if (text.find(kHeroPlaceholder) != std::u16string::npos)
      Warn("choice-name", "choices show \"①\" as it is: the hero's name is put only into messages");
    const TranslatedChoice c = layout_.Choice(text);
    if (c.overflow)
      Error("choice-fit", "the choice is wider than its band shows (" + std::to_string(kChoiceTextWidth) +
                              " pixels) and is cut after " + Shortened(c.line.text));
  }

  void Speaker(const std::u16string& text) {
    const TranslatedMessage m = layout_.Message(text, {}, std::u16string(TNameForm::kMaxLength, u'名'));
    if (m.speakerOverflow)
      Error("speaker", "the name is wider than its band (" + std::to_string(kSpeakerBandWidth) +
                           " pixels) and is cut after " + Shortened(m.speaker.text));
  }

  const TranslationGame& game_;
  TranslatedLayout& layout_;
  const std::function<void(const CheckFinding&)>& out_;
  size_t line_ = 0;
  std::string context_;
};

}  // namespace

bool CheckTranslationFile(const TranslationGame& game, const std::filesystem::path& file,
                          std::vector<std::string>& problems, const std::function<void(const CheckFinding&)>& found) {
  // The face and layout of the file's language, made at its first entry, where the header has been read.
  std::optional<ShapedFont> font;
  std::optional<TranslatedLayout> layout;
  std::optional<Checker> checker;
  bool faceless = false;
  const std::optional<std::string> language = ReadPoEntries(file, problems, [&](const PoEntryView& e) {
    if (!checker && !faceless) {
      const std::string shown = e.language.empty() ? file.stem().string() : std::string(e.language);
      std::string error;
      font.emplace();
      if (!font->Open(shown, error)) {
        problems.push_back(file.string() + ": " + error);
        faceless = true;
        return;
      }
      layout.emplace(*font, StyleOf(shown));
      checker.emplace(game, *layout, found);
    }
    if (checker && !e.obsolete) checker->Entry(e);
  });
  return language && !faceless;
}

std::optional<std::vector<CheckFinding>> CheckTranslationFile(const TranslationGame& game,
                                                              const std::filesystem::path& file,
                                                              std::vector<std::string>& problems) {
  std::vector<CheckFinding> findings;
  if (!CheckTranslationFile(game, file, problems, [&](const CheckFinding& f) { findings.push_back(f); }))
    return std::nullopt;
  return findings;
}

std::string FormatCheckFinding(const std::string& poFile, const CheckFinding& f) {
  return poFile + (f.line ? ":" + std::to_string(f.line) : std::string()) + (f.error ? ": error: " : ": warning: ") +
         f.context + ": " + f.message + " [" + f.rule + "]";
}

}  // namespace mokuren::i18n
