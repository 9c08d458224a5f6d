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

void TranslationCatalog::BuildIndex() {
  size_t size = 16;
  while (size < data_.entries.size() * 2) size *= 2;
  slots_.assign(size, 0);
  for (size_t i = 0; i < data_.entries.size(); ++i) {
    size_t slot = std::hash<std::string_view>{}(KeyOf(data_.entries[i])) & (size - 1);
    while (slots_[slot] != 0) slot = (slot + 1) & (size - 1);
    slots_[slot] = static_cast<uint32_t>(i + 1);
  }
}

const CatalogEntry* TranslationCatalog::Lookup(std::string_view key) const {
  if (slots_.empty()) return nullptr;
  const size_t mask = slots_.size() - 1;
  for (size_t slot = std::hash<std::string_view>{}(key)&mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
    const CatalogEntry& e = data_.entries[slots_[slot] - 1];
    if (KeyOf(e) == key) return &e;
  }
  return nullptr;
}

bool TranslationCatalog::Load(const std::filesystem::path& file, std::vector<std::string>& problems,
                              const std::filesystem::path& cacheDir) {
  data_ = {};
  slots_.clear();
  file_ = file.string();
  language_ = file.stem().string();
  // The bytes are read first, to find the compiled copy made from these very bytes.
  std::optional<std::string> bytes;
  std::filesystem::path cacheFile;
  uint64_t hash = 0;
  bytes = ReadFileBytes(file);  // when it cannot be read, ReadPoEntries says why
  if (bytes && !cacheDir.empty()) {
    hash = ContentHash(*bytes);
    cacheFile = TranslationCacheFile(cacheDir, file);
    if (std::optional<CatalogData> cached = ReadTranslationCache(cacheFile, bytes->size(), hash)) {
      data_ = std::move(*cached);
      problems.insert(problems.end(), data_.warnings.begin(), data_.warnings.end());
      if (!data_.language.empty()) language_ = data_.language;
      BuildIndex();
      return true;
    }
  }
  const size_t firstProblem = problems.size();
  // Room for the keys and texts of a file whose every byte were theirs: untouched room costs no memory.
  const size_t room = bytes ? bytes->size() : 0;
  data_.keys.reserve(room);
  data_.texts.reserve(room);
  std::optional<std::string> language = ReadPoEntries(
      file, problems,
      [&](const PoEntryView& e) {
        if (e.hasContext && !e.msgstr.empty() && !e.fuzzy && !e.obsolete && !e.plural)
          Add(e.context, e.msgid, e.msgstr, e.line);
      },
      bytes ? &*bytes : nullptr, /*obsolete=*/false);
  if (!language) {
    data_ = {};
    return false;
  }
  data_.language = *language;
  if (!language->empty()) language_ = *language;
  data_.warnings.assign(problems.begin() + static_cast<ptrdiff_t>(firstProblem), problems.end());
  BuildIndex();
  if (!cacheFile.empty()) WriteTranslationCache(cacheFile, bytes->size(), hash, data_);
  return true;
}

std::optional<std::u16string_view> TranslationCatalog::Find(std::string_view context,
                                                            std::u16string_view original) const {
  if (data_.entries.empty()) return std::nullopt;
  const CatalogEntry* e = Lookup(Key(context, ToUtf8(original)));
  if (!e) return std::nullopt;
  return std::u16string_view(data_.texts).substr(e->text, e->textSize);
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
  for (const CatalogEntry& e : data_.entries) {
    const std::string_view key = KeyOf(e);
    if (!game.Has(key.substr(0, e.contextSize), key.substr(e.contextSize + 1))) unmatched.push_back(&e);
  }
  std::stable_sort(unmatched.begin(), unmatched.end(),
                   [](const CatalogEntry* a, const CatalogEntry* b) { return a->line < b->line; });
  std::vector<std::string> lines;
  for (const CatalogEntry* e : unmatched) {
    const std::string context(KeyOf(*e).substr(0, e->contextSize));
    const TranslatableText* now = game.Find(context);
    lines.push_back(file_ + (e->line ? ":" + std::to_string(e->line) : std::string()) + ": \"" + context + "\" " +
                    (now ? "was translated from a text the game no longer has"
                         : "names no text of this game (a translation for another game?)") +
                    "; it is not shown");
  }
  return lines;
}

}  // namespace mokuren
