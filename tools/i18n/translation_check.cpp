#include "i18n/translation_check.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "app/game_title.h"
#include "archive/archive_index.h"
#include "base/text_codec.h"
#include "base/text_template.h"
#include "platform/game_files.h"
#include "text/TNameForm.h"
#include "text/engine_texts.h"
#include "text/name_rules.h"
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
  Checker(const TranslationGame& game, TranslatedLayout& layout, NameScript names,
          const std::function<void(const CheckFinding&)>& out)
      : game_(game), layout_(layout), names_(names), out_(out) {}

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
    if (e.msgstr == e.msgid && std::any_of(original.begin(), original.end(), [](char16_t c) { return c >= 0x3000; }))
      return Warn("copied-original",
                  "the translation is the Japanese original copied unchanged (msginit fills an English file so); "
                  "it counts as untranslated: translate it or empty it");
    if (HasControl(raw)) Warn("control-character", "control characters other than a new line are removed when shown");
    const std::u16string text = ShownTranslation(raw);
    switch (kind->kind) {
      case TextKind::Message: return Message(original, text);
      case TextKind::ChoiceItem: return Choice(text);
      case TextKind::Speaker: return Speaker(text);
      case TextKind::HeroName: {
        const NameRefusal refusal = CheckTranslatedName(NormalName(text, names_), names_);
        if (refusal.length)
          Error("default-name", "a name takes 1 to " + std::to_string(kMaxTranslatedNameUnits) +
                                    " characters, so the name dialog would refuse this one when typed");
        else if (refusal.Refused())
          Error("default-name", "names of this language may not hold " + ToUtf8(refusal.characters) +
                                    ", so the name dialog would refuse this one when typed");
        return;
      }
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
    out_({error, rule, line_, context_, std::move(message), {}});
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
      if (layout_.Message({}, text, LongestName()).overflow)
        Warn("name-overflow", "with a hero's name of " + std::to_string(LongestName().size()) +
                                  " characters the translation runs past three lines");
    }
  }

  // The widest name a player may give: the most characters the name dialog takes, each a wide one.
  std::u16string LongestName() const {
    switch (names_) {
      case NameScript::Japanese: return std::u16string(TNameForm::kMaxLength, u'名');
      case NameScript::Han: return std::u16string(kMaxTranslatedNameUnits, u'名');
      case NameScript::Hangul: return std::u16string(kMaxTranslatedNameUnits, u'한');
      case NameScript::Cyrillic: return std::u16string(kMaxTranslatedNameUnits, u'Ш');
      case NameScript::Greek: return std::u16string(kMaxTranslatedNameUnits, u'Ω');
      case NameScript::Latin: break;
    }
    return std::u16string(kMaxTranslatedNameUnits, u'M');
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
    const TranslatedMessage m = layout_.Message(text, {}, TNameForm::kDefaultName);
    if (m.speakerOverflow)
      Error("speaker", "the name is wider than its band (" + std::to_string(kSpeakerBandWidth) +
                           " pixels) and is cut after " + Shortened(m.speaker.text));
    else if (text.find(kHeroPlaceholder) != std::u16string::npos &&
             layout_.Message(text, {}, LongestName()).speakerOverflow)
      Warn("name-overflow",
           "with a hero's name of " + std::to_string(LongestName().size()) + " characters the speaker's band cuts it");
  }

  const TranslationGame& game_;
  TranslatedLayout& layout_;
  NameScript names_;
  const std::function<void(const CheckFinding&)>& out_;
  size_t line_ = 0;
  std::string context_;
};

}  // namespace

namespace {

struct PngSize {
  uint32_t width = 0, height = 0;
  bool operator==(const PngSize&) const = default;
};

// The size a PNG file's header gives (its IHDR chunk comes first, after the 8-byte signature).
std::optional<PngSize> ReadPngSize(std::string_view head) {
  static constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (head.size() < 24 || std::memcmp(head.data(), kSignature, 8) != 0 || head.substr(12, 4) != "IHDR")
    return std::nullopt;
  const auto number = [&](size_t at) {
    uint32_t n = 0;
    for (size_t i = 0; i < 4; ++i) n = n << 8 | static_cast<unsigned char>(head[at + i]);
    return n;
  };
  return PngSize{number(16), number(20)};
}

std::optional<PngSize> FileSize(const std::filesystem::path& file) {
  std::string head(24, '\0');
  std::ifstream in(file, std::ios::binary);
  if (!in.read(head.data(), 24)) return std::nullopt;
  return ReadPngSize(head);
}

// The size of entry `entry` of an archive, from its index and the picture's header.
std::optional<PngSize> EntrySize(const std::filesystem::path& archive, int32_t entry) {
  std::ifstream in(archive, std::ios::binary);
  char index[8];
  in.seekg(static_cast<std::streamoff>(ArchiveIndex::kIndexOffset + 8 * static_cast<size_t>(entry)));
  if (!in.read(index, 8)) return std::nullopt;
  uint32_t offset = 0;
  std::memcpy(&offset, index, 4);
  std::string head(24, '\0');
  in.seekg(offset);
  if (!in.read(head.data(), 24)) return std::nullopt;
  return ReadPngSize(head);
}

std::string SizeText(const PngSize& s) { return std::to_string(s.width) + "x" + std::to_string(s.height); }

// The pictures of tl/LANGUAGE: each the size of the picture it replaces, and none that replaces nothing.
void CheckPictures(const TranslationGame& game, const std::string& language,
                   const std::function<void(const CheckFinding&)>& found) {
  const PictureReplacements pictures = FindReplacements(game, language);
  const auto finding = [&](bool error, const char* rule, const std::filesystem::path& file, std::string message) {
    found({error, rule, 0, {}, std::move(message), pictures.Shown(file)});
  };
  for (const PictureReplacements::Stray& stray : pictures.Strays())
    finding(false, "picture-unknown", stray.file, "replaces no picture: " + stray.why + "; it is not shown");
  for (const bool system : {true, false}) {
    const std::filesystem::path archive = FindGameFile(game.dir, system ? "SYSGRP.DAT" : "GRAPHIC.DAT");
    for (const auto& [entry, file] : system ? pictures.System() : pictures.Graphics()) {
      const std::optional<PngSize> is = FileSize(file), was = EntrySize(archive, entry);
      if (!is)
        finding(true, "picture-unreadable", file, "is not a PNG image; the original picture is shown");
      else if (was && *is != *was)
        finding(true, "picture-size", file,
                "is " + SizeText(*is) + " pixels, not the " + SizeText(*was) + " of " +
                    (system ? "system picture " + std::to_string(entry)
                            : "the picture \"" + ToUtf8(game.graphicNames[static_cast<size_t>(entry - 1)]) + "\"") +
                    " it replaces; the original picture is shown");
    }
  }
}

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
      checker.emplace(game, *layout, NameScriptOf(shown), found);
    }
    if (checker && !e.obsolete) checker->Entry(e);
  });
  if (!language || faceless) return false;
  CheckPictures(game, file.stem().string(), found);
  return true;
}

std::optional<std::vector<CheckFinding>> CheckTranslationFile(const TranslationGame& game,
                                                              const std::filesystem::path& file,
                                                              std::vector<std::string>& problems) {
  std::vector<CheckFinding> findings;
  if (!CheckTranslationFile(game, file, problems, [&](const CheckFinding& f) { findings.push_back(f); }))
    return std::nullopt;
  return findings;
}

std::string FormatCheckFinding(const std::string& poFile, const CheckFinding& f, const std::filesystem::path& gameDir) {
  if (!f.picture.empty())
    return (gameDir / f.picture).string() + (f.error ? ": error: " : ": warning: ") + f.message + " [" + f.rule + "]";
  return poFile + (f.line ? ":" + std::to_string(f.line) : std::string()) + (f.error ? ": error: " : ": warning: ") +
         f.context + ": " + f.message + " [" + f.rule + "]";
}

}  // namespace mokuren::i18n
