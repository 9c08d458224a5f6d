// A compiled copy of a translation catalog, as gettext's .mo files are of their PO files. libgettextpo
// takes about a tenth of a second for a PO file of 20,000 entries, and a catalog read into memory holds
// every text of the game twice over; the engine instead maps the copy and searches it where it lies, so a
// start touches only the header and the entries it looks up.
//
// The copy names the PO file it was made from twice: by where it stands (size, modification time, inode
// and device: a start checks it with one stat), and by its size and a hash of its bytes, which is read
// only when the first does not match (the PO file was copied or touched, or the copy was made on another
// machine, as the web build's are). A copy made of a file that cannot be used says why, so the reason is
// told again without the file being read again. A copy that is damaged, cut short or of another version
// is not used (and is made again); whatever its tables hold, a lookup never reads outside the mapping.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/translation_file.h"

namespace mokuren {

// One entry: its key (context, '\4', original, in UTF-8) in the keys, its translation (UTF-16, as shown)
// in the texts.
struct CatalogEntry {
  uint32_t key = 0;  // offset in keys
  uint32_t keySize = 0;
  uint32_t contextSize = 0;  // the context is the key's first contextSize bytes
  uint32_t text = 0;         // offset in texts
  uint32_t textSize = 0;
  uint32_t line = 0;  // of the PO file, 0 when unknown
};
static_assert(sizeof(CatalogEntry) == 24);

// A catalog's tables as the lookups use them, wherever they lie (in memory, or in a mapped copy).
struct CatalogTables {
  std::span<const CatalogEntry> entries;
  // Open addressing over the entries by KeyHash: slot = entry + 1, 0 for none; a power of two in size.
  std::span<const uint32_t> buckets;
  std::string_view keys;
  std::u16string_view texts;

  const CatalogEntry* Lookup(std::string_view key) const;
  // An entry's parts; empty when a damaged copy points outside its tables.
  std::string_view KeyOf(const CatalogEntry& e) const;
  std::string_view ContextOf(const CatalogEntry& e) const { return KeyOf(e).substr(0, e.contextSize); }
  std::u16string_view TextOf(const CatalogEntry& e) const;
};

// The hash the buckets are filed by: the same in every run and on every machine.
uint64_t KeyHash(std::string_view key);

// A catalog built in memory from its PO file.
struct CatalogData {
  std::string keys;
  std::u16string texts;
  std::vector<CatalogEntry> entries;
  std::vector<uint32_t> buckets;

  void BuildIndex();
  CatalogTables Tables() const { return {entries, buckets, keys, texts}; }
};

// Where a PO file stands; two stamps are equal only for the same file unchanged.
struct PoFileStamp {
  uint64_t size = 0;
  uint64_t modified = 0;  // nanoseconds since the epoch
  uint64_t inode = 0;
  uint64_t device = 0;
  bool operator==(const PoFileStamp&) const = default;
};
std::optional<PoFileStamp> StampOf(const std::filesystem::path& file);

// What a copy says of the file it was made from, and of the game it was checked against.
struct CopyOrigin {
  PoFileStamp stamp;
  uint64_t poSize = 0;
  uint64_t poHash = 0;
  // The game whose texts the entries were checked against (GameStamp), 0 when they were not.
  uint64_t gameStamp = 0;
  PoFault fault = PoFault::None;  // the file cannot be used, and why
  std::string detail;
  std::string language;  // the header's "Language:", empty when it has none
};

// A copy mapped read-only.
class CompiledCatalog {
 public:
  // Null when there is no copy, or it is damaged or of another version.
  static std::unique_ptr<CompiledCatalog> Open(const std::filesystem::path& file);
  ~CompiledCatalog();
  CompiledCatalog(const CompiledCatalog&) = delete;
  CompiledCatalog& operator=(const CompiledCatalog&) = delete;

  const CopyOrigin& Origin() const { return origin_; }
  const CatalogTables& Tables() const { return tables_; }
  // Writes a new stamp and game stamp into the copy's header, so that a start after the PO file was copied
  // or touched, or the game changed, uses the copy at once again. False when it cannot be written.
  bool Restamp(const PoFileStamp& stamp, uint64_t gameStamp);

 private:
  CompiledCatalog() = default;

  std::filesystem::path file_;
  const uint8_t* map_ = nullptr;
  size_t size_ = 0;
  std::unique_ptr<uint8_t[]> read_;  // the copy read into memory where mapping is not possible
  CopyOrigin origin_;
  CatalogTables tables_;
};

// Writes the copy (through a temporary file, so a reader never sees half of one); `data` may be null for a
// file that cannot be used. Failing is harmless: the PO file is read again next time.
bool WriteCompiledCatalog(const std::filesystem::path& file, const CopyOrigin& origin, const CatalogData* data);

// A 64-bit hash of a file's bytes that tells one version of it from another (not from an adversary).
uint64_t ContentHash(std::string_view bytes);

// $XDG_CACHE_HOME/mokuren/translations, with ~/.cache standing in for an unset or relative XDG_CACHE_HOME;
// empty when neither is known.
std::filesystem::path DefaultTranslationCacheDir();

// The copy of the PO file `poFile` in cacheDir.
std::filesystem::path TranslationCacheFile(const std::filesystem::path& cacheDir, const std::filesystem::path& poFile);

}  // namespace mokuren
