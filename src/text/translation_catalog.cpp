#include "text/translation_catalog.h"

#include <algorithm>

#include "base/text_codec.h"
#include "text/message_layout.h"
#include "text/po_file.h"
#include "text/translation_cache.h"

namespace mokuren {

namespace {

std::string Key(std::string_view context, std::string_view original) {
  std::string key;
  key.reserve(context.size() + 1 + original.size());
  key.append(context);
  key.push_back('\4');
  key.append(original);
  return key;
}

// How a character of a translation is shown: a line break stays, a tab becomes a space, other control
// characters go (0).
char16_t Shown(char16_t c) {
  if (c == u'\n') return c;
  if (c == u'\t') return u' ';
  return c >= 0x20 && (c < 0x7F || c > 0x9F) ? c : 0;
}

// Appends `text` as it is shown.
void AppendShown(std::u16string& out, std::u16string_view text) {
  for (char16_t c : text)
    if (const char16_t shown = Shown(c)) out.push_back(shown);
}

// Appends the UTF-8 `text` as it is shown, decoded straight into `out` and filtered in place.
void AppendShownUtf8(std::u16string& out, std::string_view text) {
  const size_t start = out.size();
  AppendUtf8(out, text);
  char16_t* to = out.data() + start;
  for (size_t i = start; i < out.size(); ++i)
    if (const char16_t shown = Shown(out[i])) *to++ = shown;
  out.resize(static_cast<size_t>(to - out.data()));
}

}  // namespace

std::u16string ShownTranslation(std::u16string_view text) {
  std::u16string shown;
  shown.reserve(text.size());
  AppendShown(shown, text);
  return shown;
}

std::filesystem::path TranslationCatalog::FileFor(const std::filesystem::path& gameDir, std::string_view language) {
  return gameDir / "tl" / (std::string(language) + ".po");
}

void TranslationCatalog::Add(std::string_view context, std::string_view original, std::string_view translation,
                             size_t line) {
  CatalogEntry e;
  e.key = static_cast<uint32_t>(data_.keys.size());
  e.contextSize = static_cast<uint32_t>(context.size());
  data_.keys.append(context);
  data_.keys.push_back('\4');
  data_.keys.append(original);
  e.keySize = static_cast<uint32_t>(data_.keys.size() - e.key);
  e.text = static_cast<uint32_t>(data_.texts.size());
  // As shown, straight into the block of texts.
  AppendShownUtf8(data_.texts, translation);
  e.textSize = static_cast<uint32_t>(data_.texts.size() - e.text);
  e.line = static_cast<uint32_t>(line);
  data_.entries.push_back(e);
}

bool TranslationCatalog::Fail(PoFault fault, std::string detail) {
  data_ = {};
  compiled_.reset();
  tables_ = {};
  fault_ = fault;
  faultDetail_ = std::move(detail);
  return false;
}

bool TranslationCatalog::Use(std::unique_ptr<CompiledCatalog> copy, std::vector<std::string>& problems,
                             const GameCheck* game, const std::optional<PoFileStamp>& stamp) {
  const CopyOrigin& origin = copy->Origin();
  // Why the file cannot be used was reported when it was read; it is only said again.
  if (origin.fault != PoFault::None) return Fail(origin.fault, origin.detail);
  tables_ = copy->Tables();
  if (!origin.language.empty()) language_ = origin.language;
  // The game changed since its entries were checked (a copy made for the web page never was).
  uint64_t gameStamp = origin.gameStamp;
  if (game && game->texts && origin.gameStamp != 0 && origin.gameStamp != game->stamp) {
    for (std::string& line : Unmatched(game->texts())) problems.push_back(std::move(line));
    gameStamp = game->stamp;
  }
  if (stamp && (origin.stamp != *stamp || gameStamp != origin.gameStamp)) copy->Restamp(*stamp, gameStamp);
  compiled_ = std::move(copy);
  return true;
}

bool TranslationCatalog::Load(const std::filesystem::path& file, std::vector<std::string>& problems,
                              const std::filesystem::path& cacheDir, const GameCheck* game) {
  Fail(PoFault::None, {});
  file_ = file.string();
  language_ = file.stem().string();
  const std::optional<PoFileStamp> stamp = StampOf(file);
  std::filesystem::path copyFile;
  std::unique_ptr<CompiledCatalog> copy;
  if (!cacheDir.empty()) {
    copyFile = TranslationCacheFile(cacheDir, file);
    copy = CompiledCatalog::Open(copyFile);
  }
  // The PO file as it was when the copy was made: it is not even read.
  if (copy && stamp && copy->Origin().stamp == *stamp) return Use(std::move(copy), problems, game, stamp);

  PoBytes read = ReadPoBytes(file);
  if (!read.bytes) {
    problems.push_back(file_ + ": " + DescribePoFault(read.fault, read.detail));
    return Fail(read.fault, read.detail);
  }
  std::string& bytes = *read.bytes;
  CopyOrigin origin;
  origin.stamp = stamp.value_or(PoFileStamp{});
  origin.poSize = bytes.size();
  origin.poHash = ContentHash(bytes);
  // The same bytes elsewhere, or touched since: the copy is still theirs.
  if (copy && copy->Origin().poSize == origin.poSize && copy->Origin().poHash == origin.poHash)
    return Use(std::move(copy), problems, game, stamp);
  copy.reset();

  const size_t firstProblem = problems.size();
  // Room for the keys and texts of a file whose every byte were theirs: untouched room costs no memory.
  data_.keys.reserve(origin.poSize);
  data_.texts.reserve(origin.poSize);
  const std::optional<std::string> language = ReadPoEntries(
      file, problems,
      [&](const PoEntryView& e) {
        if (e.hasContext && !e.msgstr.empty() && !e.fuzzy && !e.obsolete && !e.plural)
          Add(e.context, e.msgid, e.msgstr, e.line);
      },
      &bytes, /*obsolete=*/false);
  if (!language) {
    // The first error, without the file's name before it: "12: end-of-line within string".
    std::string detail;
    for (size_t i = firstProblem; i < problems.size() && detail.empty(); ++i)
      if (problems[i].find(": warning: ") == std::string::npos)
        detail = problems[i].starts_with(file_ + ":") ? problems[i].substr(file_.size() + 1) : problems[i];
    while (detail.starts_with(' ')) detail.erase(0, 1);
    origin.fault = PoFault::Malformed;
    origin.detail = detail;
    if (!copyFile.empty()) WriteCompiledCatalog(copyFile, origin, nullptr);
    return Fail(PoFault::Malformed, detail);
  }
  origin.language = *language;
  if (!language->empty()) language_ = *language;
  data_.keys.shrink_to_fit();
  data_.texts.shrink_to_fit();
  data_.BuildIndex();
  tables_ = data_.Tables();
  if (game && game->texts) {
    for (std::string& line : Unmatched(game->texts())) problems.push_back(std::move(line));
    origin.gameStamp = game->stamp;
  }
  if (!copyFile.empty()) WriteCompiledCatalog(copyFile, origin, &data_);
  return true;
}

std::optional<std::u16string_view> TranslationCatalog::Find(std::string_view context,
                                                            std::u16string_view original) const {
  if (tables_.entries.empty()) return std::nullopt;
  const CatalogEntry* e = tables_.Lookup(Key(context, ToUtf8(original)));
  if (!e) return std::nullopt;
  return tables_.TextOf(*e);
}

std::u16string TranslationCatalog::Translate(std::string_view context, std::u16string_view original) const {
  return std::u16string(Find(context, original).value_or(original));
}

SpokenText TranslationCatalog::Message(int script, int line, std::u16string_view original) const {
  SpokenText spoken = SplitSpeaker(original);
  if (const auto body = Find(MessageContext(script, line), spoken.body)) spoken.body = *body;
  if (!spoken.speaker.empty()) spoken.speaker = Translate(kSpeakerContext, spoken.speaker);
  return spoken;
}

std::vector<std::u16string> TranslationCatalog::Choices(int script, int line, std::u16string_view original) const {
  std::vector<std::u16string> items = SplitChoices(original);
  for (size_t k = 0; k < items.size(); ++k)
    if (const auto t = Find(ChoiceItemContext(script, line, static_cast<int>(k) + 1), items[k])) items[k] = *t;
  return items;
}

std::vector<std::string> TranslationCatalog::Unmatched(const GameTexts& game) const {
  std::vector<const CatalogEntry*> unmatched;
  for (const CatalogEntry& e : tables_.entries) {
    const std::string_view key = tables_.KeyOf(e);
    if (key.empty() || !game.Has(key.substr(0, e.contextSize), key.substr(e.contextSize + 1))) unmatched.push_back(&e);
  }
  std::stable_sort(unmatched.begin(), unmatched.end(),
                   [](const CatalogEntry* a, const CatalogEntry* b) { return a->line < b->line; });
  std::vector<std::string> lines;
  for (const CatalogEntry* e : unmatched) {
    if (lines.size() == kListedPoProblems) {
      lines.push_back(file_ + ": " + std::to_string(unmatched.size() - kListedPoProblems) +
                      " more entries match no text of this game and are not listed (" +
                      std::to_string(unmatched.size()) + " in all)");
      break;
    }
    const std::string context(tables_.ContextOf(*e));
    const TranslatableText* now = game.Find(context);
    lines.push_back(file_ + (e->line ? ":" + std::to_string(e->line) : std::string()) + ": \"" + context + "\" " +
                    (now ? "was translated from a text the game no longer has"
                         : "names no text of this game (a translation for another game?)") +
                    "; it is not shown");
  }
  return lines;
}

}  // namespace mokuren
