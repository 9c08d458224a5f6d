// A compiled copy of a translation catalog, as gettext's .mo files are of their PO files: libgettextpo
// takes about a tenth of a second for a PO file of 20,000 entries, so the engine reads a catalog it has read
// before from this copy. The copy names the size and a hash of the PO file's bytes it was made from and
// is used only while they match; a copy that is damaged, cut short or of another version is ignored
// (and made again).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mokuren {

// A catalog's contents as it keeps them: every key (context, '\4', original, in UTF-8) in one string and
// every translation (UTF-16, as shown) in another, with a table of where each entry's parts are. The
// copy holds the same three, so loading it is three copies and an index.
struct CatalogEntry {
  uint32_t key = 0;  // offset in keys
  uint32_t keySize = 0;
  uint32_t contextSize = 0;  // the context is the key's first contextSize bytes
  uint32_t text = 0;         // offset in texts
  uint32_t textSize = 0;
  uint32_t line = 0;  // of the PO file, 0 when unknown
};
static_assert(sizeof(CatalogEntry) == 24);

struct CatalogData {
  std::string language;
  std::vector<std::string> warnings;  // what reading the PO file reported, told again at each load
  std::string keys;
  std::u16string texts;
  std::vector<CatalogEntry> entries;
};

// A 64-bit hash of a file's bytes that tells one version of it from another (not from an adversary).
uint64_t ContentHash(std::string_view bytes);

// The file's bytes, or nothing when it cannot be read (errno tells why).
std::optional<std::string> ReadFileBytes(const std::filesystem::path& file);

// $XDG_CACHE_HOME/mokuren/translations, with ~/.cache standing in for an unset or relative XDG_CACHE_HOME;
// empty when neither is known.
std::filesystem::path DefaultTranslationCacheDir();

// The copy of the PO file `poFile` in cacheDir.
std::filesystem::path TranslationCacheFile(const std::filesystem::path& cacheDir, const std::filesystem::path& poFile);

// The catalog of the copy, when it was made from a PO file of this size and hash.
std::optional<CatalogData> ReadTranslationCache(const std::filesystem::path& cacheFile, uint64_t poSize,
                                                uint64_t poHash);
// Writes the copy (through a temporary file, so a reader never sees half of one). Failing is harmless:
// the PO file is read again next time. Returns whether it was written.
bool WriteTranslationCache(const std::filesystem::path& cacheFile, uint64_t poSize, uint64_t poHash,
                           const CatalogData& catalog);

}  // namespace mokuren
