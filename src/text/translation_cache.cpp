#include "text/translation_cache.h"

#include <cstdlib>
#include <cstring>
#include <fstream>

#include <unistd.h>

namespace mokuren {

namespace {

constexpr std::string_view kMagic = "Mokuren translation cache 2\n";
// Nothing a real catalog holds comes near these; a copy that claims more is damaged.
constexpr uint64_t kMaxItems = 10'000'000;

class Writer {
 public:
  void U64(uint64_t v) { bytes_.append(reinterpret_cast<const char*>(&v), sizeof v); }
  void Bytes(std::string_view s) {
    U64(s.size());
    bytes_.append(s);
  }
  void Text(std::u16string_view s) {
    U64(s.size());
    bytes_.append(reinterpret_cast<const char*>(s.data()), s.size() * sizeof(char16_t));
  }
  std::string& bytes() { return bytes_; }

 private:
  std::string bytes_;
};

class Reader {
 public:
  explicit Reader(std::string_view bytes) : rest_(bytes) {}
  bool U64(uint64_t& v) {
    if (rest_.size() < sizeof v) return false;
    std::memcpy(&v, rest_.data(), sizeof v);
    rest_.remove_prefix(sizeof v);
    return true;
  }
  bool Bytes(std::string& s) {
    uint64_t n = 0;
    if (!U64(n) || n > rest_.size()) return false;
    s.assign(rest_.substr(0, n));
    rest_.remove_prefix(n);
    return true;
  }
  bool Text(std::u16string& s) {
    uint64_t n = 0;
    if (!U64(n) || n > rest_.size() / sizeof(char16_t)) return false;
    s.resize(n);
    std::memcpy(s.data(), rest_.data(), n * sizeof(char16_t));
    rest_.remove_prefix(n * sizeof(char16_t));
    return true;
  }
  bool AtEnd() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

uint64_t Mix(uint64_t h) {
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  return h;
}

}  // namespace

uint64_t ContentHash(std::string_view bytes) {
  uint64_t h = 0x9E3779B97F4A7C15ull ^ bytes.size();
  size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    uint64_t w;
    std::memcpy(&w, bytes.data() + i, 8);
    h = (h ^ w) * 0x100000001B3ull;
    h ^= h >> 29;
  }
  for (; i < bytes.size(); ++i) h = (h ^ static_cast<unsigned char>(bytes[i])) * 0x100000001B3ull;
  return Mix(h);
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const std::streamoff size = in.tellg();
  if (size < 0) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), size)) return std::nullopt;
  return bytes;
}

std::filesystem::path DefaultTranslationCacheDir() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache && *cache && std::filesystem::path(cache).is_absolute())
    return std::filesystem::path(cache) / "mokuren" / "translations";
  const char* home = std::getenv("HOME");
  if (home && *home) return std::filesystem::path(home) / ".cache" / "mokuren" / "translations";
  return {};
}

std::filesystem::path TranslationCacheFile(const std::filesystem::path& cacheDir, const std::filesystem::path& poFile) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(poFile, ec);
  if (ec) absolute = poFile;
  char name[32];
  std::snprintf(name, sizeof name, "%016llx.cache",
                static_cast<unsigned long long>(ContentHash(absolute.lexically_normal().string())));
  return cacheDir / name;
}

std::optional<CatalogData> ReadTranslationCache(const std::filesystem::path& cacheFile, uint64_t poSize,
                                                uint64_t poHash) {
  const std::optional<std::string> bytes = ReadFileBytes(cacheFile);
  if (!bytes || bytes->size() < kMagic.size() + 8 || !std::string_view(*bytes).starts_with(kMagic)) return std::nullopt;
  // The last 8 bytes are the hash of all before them: a copy cut short or damaged is not used.
  const std::string_view body = std::string_view(*bytes).substr(0, bytes->size() - 8);
  uint64_t stored = 0;
  std::memcpy(&stored, bytes->data() + body.size(), 8);
  if (stored != ContentHash(body)) return std::nullopt;
  Reader r(body.substr(kMagic.size()));
  uint64_t size = 0, hash = 0, warnings = 0;
  CatalogData c;
  std::string table;
  if (!r.U64(size) || !r.U64(hash) || size != poSize || hash != poHash || !r.Bytes(c.language) || !r.U64(warnings) ||
      warnings > kMaxItems)
    return std::nullopt;
  c.warnings.resize(warnings);
  for (std::string& w : c.warnings)
    if (!r.Bytes(w)) return std::nullopt;
  if (!r.Bytes(c.keys) || !r.Text(c.texts) || !r.Bytes(table) || table.size() % sizeof(CatalogEntry) != 0 || !r.AtEnd())
    return std::nullopt;
  c.entries.resize(table.size() / sizeof(CatalogEntry));
  std::memcpy(c.entries.data(), table.data(), table.size());
  // Every part must lie inside its string, even in a copy that was written wrong.
  for (const CatalogEntry& e : c.entries)
    if (uint64_t{e.key} + e.keySize > c.keys.size() || e.contextSize > e.keySize ||
        uint64_t{e.text} + e.textSize > c.texts.size())
      return std::nullopt;
  return c;
}

bool WriteTranslationCache(const std::filesystem::path& cacheFile, uint64_t poSize, uint64_t poHash,
                           const CatalogData& c) {
  Writer w;
  w.bytes().append(kMagic);
  w.U64(poSize);
  w.U64(poHash);
  w.Bytes(c.language);
  w.U64(c.warnings.size());
  for (const std::string& warning : c.warnings) w.Bytes(warning);
  w.Bytes(c.keys);
  w.Text(c.texts);
  w.Bytes(std::string_view(reinterpret_cast<const char*>(c.entries.data()), c.entries.size() * sizeof(CatalogEntry)));
  w.U64(ContentHash(w.bytes()));
  std::error_code ec;
  std::filesystem::create_directories(cacheFile.parent_path(), ec);
  // Two games starting at once each write a file of their own; the last rename wins.
  const std::filesystem::path pending = cacheFile.string() + "." + std::to_string(::getpid()) + ".pending";
  {
    std::ofstream out(pending, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(w.bytes().data(), static_cast<std::streamsize>(w.bytes().size())) || !out.flush()) {
      out.close();
      std::filesystem::remove(pending, ec);
      return false;
    }
  }
  std::filesystem::rename(pending, cacheFile, ec);
  if (!ec) return true;
  std::filesystem::remove(pending, ec);
  return false;
}

}  // namespace mokuren
