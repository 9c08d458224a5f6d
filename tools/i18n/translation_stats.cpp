#include "i18n/translation_stats.h"

#include <cstdio>
#include <unordered_map>

#include "base/text_codec.h"

namespace mokuren::i18n {

namespace {

std::string Key(std::string_view context, std::string_view original) {
  return std::string(context) + '\4' + std::string(original);
}

}  // namespace

std::map<int, TranslationCounts> CountTranslations(const TranslationGame& game, const PoFile& po) {
  std::unordered_map<std::string, const PoEntry*> live;
  std::map<int, TranslationCounts> counts;
  for (const PoEntry& e : po.entries) {
    if (e.obsolete) {
      const std::optional<TextContext> c = ParseTextContext(e.context);
      ++counts[c ? c->script : 0].obsolete;
    } else if (e.hasContext && !e.plural) {
      live.emplace(Key(e.context, e.msgid), &e);
    }
  }
  for (const TranslatableText& t : game.texts.All()) {
    // A speaker is counted once, with the other texts outside the scripts.
    TranslationCounts& target = counts[t.kind == TextKind::Speaker ? 0 : t.script];
    const auto it = live.find(Key(t.context, ToUtf8(t.original)));
    if (it == live.end() || it->second->msgstr.empty())
      ++target.untranslated;
    else if (it->second->fuzzy)
      ++target.fuzzy;
    else
      ++target.translated;
  }
  return counts;
}

std::string FormatCounts(const std::map<int, TranslationCounts>& counts) {
  std::string out = "script  translated  fuzzy  untranslated  obsolete\n";
  char line[96];
  TranslationCounts total;
  auto row = [&](const char* name, const TranslationCounts& c) {
    std::snprintf(line, sizeof line, "%-6s  %10d  %5d  %12d  %8d\n", name, c.translated, c.fuzzy, c.untranslated,
                  c.obsolete);
    out += line;
  };
  for (const auto& [script, c] : counts) {
    if (script == 0) continue;
    row(std::to_string(script).c_str(), c);
  }
  if (const auto other = counts.find(0); other != counts.end()) row("other", other->second);
  for (const auto& [script, c] : counts) {
    total.translated += c.translated;
    total.fuzzy += c.fuzzy;
    total.untranslated += c.untranslated;
    total.obsolete += c.obsolete;
  }
  row("total", total);
  const int all = total.translated + total.fuzzy + total.untranslated;
  std::snprintf(line, sizeof line, "%d of %d texts translated (%d%%)\n", total.translated, all,
                all ? total.translated * 100 / all : 100);
  out += line;
  return out;
}

}  // namespace mokuren::i18n
