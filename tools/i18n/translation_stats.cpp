#include "i18n/translation_stats.h"

#include <cstdio>
#include <unordered_map>

#include "base/text_codec.h"
#include "text/po_file.h"

namespace mokuren::i18n {

namespace {

enum class State : uint8_t { Translated, Fuzzy, Empty, Copied };

std::string Key(std::string_view context, std::string_view original) {
  std::string key(context);
  key.push_back('\4');
  key.append(original);
  return key;
}

// Whether a text holds Japanese (kana, kanji or the full-width forms): such an original copied as its
// translation into another language is not translated.
bool HoldsJapanese(std::u16string_view text) {
  for (char16_t c : text)
    if (c >= 0x3000) return true;
  return false;
}

TranslationCounts& Row(TranslationStats& stats, TextKind kind, int script) {
  switch (kind) {
    case TextKind::Speaker: return stats.speakers;
    case TextKind::Title: return stats.title;
    case TextKind::HeroName: return stats.heroName;
    case TextKind::Engine: return stats.engine;
    case TextKind::Message:
    case TextKind::ChoiceItem: break;
  }
  return stats.scripts[script];
}

}  // namespace

std::optional<TranslationStats> CountTranslationFile(const TranslationGame& game, const std::filesystem::path& file,
                                                     std::vector<std::string>& problems) {
  TranslationStats stats;
  std::unordered_map<std::string, State> live;
  std::string language;
  const std::optional<std::string> read = ReadPoEntries(file, problems, [&](const PoEntryView& e) {
    const std::optional<TextContext> c = e.hasContext ? ParseTextContext(e.context) : std::nullopt;
    if (e.obsolete) {
      if (c) ++Row(stats, c->kind, c->script).obsolete;
      return;
    }
    if (!e.hasContext || e.plural) return;
    State state = e.msgstr.empty() ? State::Empty : e.fuzzy ? State::Fuzzy : State::Translated;
    if (state == State::Translated && e.msgstr == e.msgid && HoldsJapanese(FromUtf8(e.msgid))) state = State::Copied;
    live.emplace(Key(e.context, e.msgid), state);
    // The engine's texts are counted only where the file gives them.
    if (c && c->kind == TextKind::Engine && game.texts.Has(e.context, e.msgid) && state != State::Empty)
      ++(state == State::Fuzzy ? stats.engine.fuzzy : stats.engine.translated);
  });
  if (!read) return std::nullopt;
  for (const TranslatableText& t : game.texts.All()) {
    TranslationCounts& row = Row(stats, t.kind, t.script);
    const auto it = live.find(Key(t.context, ToUtf8(t.original)));
    const State state = it == live.end() ? State::Empty : it->second;
    if (state == State::Translated) ++row.translated;
    if (state == State::Fuzzy) ++row.fuzzy;
    if (state == State::Empty || state == State::Copied) ++row.untranslated;
    if (state == State::Copied) ++stats.copied;
  }
  const PictureReplacements pictures = FindReplacements(game, file.stem().string());
  stats.systemReplaced = pictures.System().size();
  stats.graphicsReplaced = pictures.Graphics().size();
  stats.systemPictures = game.systemEntries.size();
  stats.graphicsPictures = game.graphicEntries.size();
  stats.strayPictures = pictures.Strays().size();
  return stats;
}

std::string FormatStats(const TranslationStats& stats) {
  std::string out = "             translated  fuzzy  untranslated  obsolete\n";
  char line[160];
  auto row = [&](const std::string& name, const TranslationCounts& c, bool counted = true) {
    const std::string untranslated = counted ? std::to_string(c.untranslated) : "-";
    std::snprintf(line, sizeof line, "%-11s  %10d  %5d  %12s  %8d\n", name.c_str(), c.translated, c.fuzzy,
                  untranslated.c_str(), c.obsolete);
    out += line;
  };
  TranslationCounts total;
  auto add = [&](const TranslationCounts& c) {
    total.translated += c.translated;
    total.fuzzy += c.fuzzy;
    total.untranslated += c.untranslated;
    total.obsolete += c.obsolete;
  };
  for (const auto& [script, c] : stats.scripts) {
    row("script " + std::to_string(script), c);
    add(c);
  }
  for (const auto& [name, c] : {std::pair<const char*, const TranslationCounts*>{"speakers", &stats.speakers},
                                {"title", &stats.title},
                                {"hero name", &stats.heroName}}) {
    row(name, *c);
    add(*c);
  }
  row("total", total);
  const int all = total.translated + total.fuzzy + total.untranslated;
  std::snprintf(line, sizeof line, "%d of %d texts translated (%d%%)\n", total.translated, all,
                all ? total.translated * 100 / all : 100);
  out += line;
  if (stats.copied)
    out += std::to_string(stats.copied) +
           (stats.copied == 1 ? " of the untranslated holds its" : " of the untranslated hold their") +
           " Japanese original unchanged (msginit copies every original into an English file): empty or "
           "translate " +
           (stats.copied == 1 ? "it\n" : "them\n");
  row("engine", stats.engine, false);
  out += "pictures: " + std::to_string(stats.systemReplaced) + " of " + std::to_string(stats.systemPictures) +
         " system pictures and " + std::to_string(stats.graphicsReplaced) + " of " +
         std::to_string(stats.graphicsPictures) + " scenario pictures replaced";
  if (stats.strayPictures)
    out += "; " + std::to_string(stats.strayPictures) +
           (stats.strayPictures == 1 ? " file replaces" : " files replace") + " no picture (mokuren-i18n check names " +
           (stats.strayPictures == 1 ? "it)" : "them)");
  out += "\n";
  return out;
}

}  // namespace mokuren::i18n
