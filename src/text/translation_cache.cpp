#include "text/translation_cache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace mokuren {

namespace {

static_assert(std::endian::native == std::endian::little, "the copy is written in the machine's byte order");

constexpr char kMagic[24] = "Mokuren catalogue 3\n";

// The copy: this header, the language and the fault's detail, then the entries, the buckets, the keys and
// the texts, each table at an offset that is a multiple of 8.
struct FileHeader {
  char magic[24];
  uint64_t fileSize;
  uint64_t stampSize, stampModified, stampInode, stampDevice;
  uint64_t poSize, poHash, gameStamp;
  uint64_t fault;
  uint64_t languageOffset, languageSize, detailOffset, detailSize;
  uint64_t entriesOffset, entryCount, slotsOffset, slotCount;
  uint64_t keysOffset, keysSize, textsOffset, textsSize;  // textsSize in UTF-16 units
  uint64_t headerHash;                                    // of every field before it
};
static_assert(sizeof(FileHeader) == 24 + 22 * 8);

// Nothing a real catalog holds comes near this many entries; a copy that claims more is damaged.
constexpr uint64_t kMaxEntries = 50'000'000;

uint64_t Mix(uint64_t h) {
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  return h;
}

uint64_t HeaderHash(const FileHeader& h) {
  return ContentHash(std::string_view(reinterpret_cast<const char*>(&h), offsetof(FileHeader, headerHash)));
}

uint64_t Align8(uint64_t n) { return (n + 7) & ~uint64_t{7}; }

// Whether [offset, offset + size * unit) lies inside a file of `fileSize` bytes.
bool Inside(uint64_t offset, uint64_t size, uint64_t unit, uint64_t fileSize) {
  return offset <= fileSize && size <= (fileSize - offset) / unit;
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

uint64_t KeyHash(std::string_view key) { return ContentHash(key); }

std::string_view CatalogTables::KeyOf(const CatalogEntry& e) const {
  if (uint64_t{e.key} + e.keySize > keys.size() || e.contextSize > e.keySize) return {};
  return keys.substr(e.key, e.keySize);
}

std::u16string_view CatalogTables::TextOf(const CatalogEntry& e) const {
  if (uint64_t{e.text} + e.textSize > texts.size()) return {};
  return texts.substr(e.text, e.textSize);
}

const CatalogEntry* CatalogTables::Lookup(std::string_view key) const {
  if (buckets.empty() || !std::has_single_bit(buckets.size())) return nullptr;
  const size_t mask = buckets.size() - 1;
  // At most one round of the buckets, even in a damaged copy whose buckets are all taken.
  size_t slot = KeyHash(key) & mask;
  for (size_t probes = 0; probes < buckets.size() && buckets[slot] != 0; ++probes, slot = (slot + 1) & mask) {
    const size_t index = buckets[slot] - 1;
    if (index >= entries.size()) return nullptr;
    const CatalogEntry& e = entries[index];
    if (e.keySize == key.size() && KeyOf(e) == key) return &e;
  }
  return nullptr;
}

void CatalogData::BuildIndex() {
  size_t size = 16;
  while (size < entries.size() * 2) size *= 2;
  buckets.assign(size, 0);
  for (size_t i = 0; i < entries.size(); ++i) {
    const CatalogEntry& e = entries[i];
    size_t slot = KeyHash(std::string_view(keys).substr(e.key, e.keySize)) & (size - 1);
    while (buckets[slot] != 0) slot = (slot + 1) & (size - 1);
    buckets[slot] = static_cast<uint32_t>(i + 1);
  }
}

std::optional<PoFileStamp> StampOf(const std::filesystem::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return std::nullopt;
  PoFileStamp s;
  s.size = static_cast<uint64_t>(st.st_size);
  s.modified = static_cast<uint64_t>(st.st_mtim.tv_sec) * 1'000'000'000u + static_cast<uint64_t>(st.st_mtim.tv_nsec);
  s.inode = static_cast<uint64_t>(st.st_ino);
  s.device = static_cast<uint64_t>(st.st_dev);
  return s;
}

std::unique_ptr<CompiledCatalog> CompiledCatalog::Open(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  std::unique_ptr<CompiledCatalog> c(new CompiledCatalog());
  c->file_ = file;
  struct stat st {};
  const bool sized =
      ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) >= sizeof(FileHeader);
  if (sized) {
    c->size_ = static_cast<size_t>(st.st_size);
    void* map = ::mmap(nullptr, c->size_, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map != MAP_FAILED) {
      c->map_ = static_cast<const uint8_t*>(map);
    } else {
      // Where files cannot be mapped, the copy is read whole.
      c->read_ = std::make_unique<uint8_t[]>(c->size_);
      size_t done = 0;
      while (done < c->size_) {
        const ssize_t n = ::pread(fd, c->read_.get() + done, c->size_ - done, static_cast<off_t>(done));
        if (n <= 0) break;
        done += static_cast<size_t>(n);
      }
      if (done == c->size_) c->map_ = c->read_.get();
    }
  }
  ::close(fd);
  if (!c->map_) return nullptr;

  FileHeader h;
  std::memcpy(&h, c->map_, sizeof h);
  const uint64_t size = c->size_;
  if (std::memcmp(h.magic, kMagic, sizeof kMagic) != 0 || h.headerHash != HeaderHash(h) || h.fileSize != size ||
      h.fault > static_cast<uint64_t>(PoFault::NoFace) || h.entryCount > kMaxEntries ||
      !Inside(h.languageOffset, h.languageSize, 1, size) || !Inside(h.detailOffset, h.detailSize, 1, size) ||
      h.entriesOffset % 8 != 0 || !Inside(h.entriesOffset, h.entryCount, sizeof(CatalogEntry), size) ||
      h.slotsOffset % 8 != 0 || !Inside(h.slotsOffset, h.slotCount, sizeof(uint32_t), size) ||
      (h.slotCount != 0 && !std::has_single_bit(h.slotCount)) || !Inside(h.keysOffset, h.keysSize, 1, size) ||
      h.textsOffset % 8 != 0 || !Inside(h.textsOffset, h.textsSize, sizeof(char16_t), size) ||
      h.keysSize > UINT32_MAX || h.textsSize > UINT32_MAX)
    return nullptr;
  const auto at = [&](uint64_t offset) { return c->map_ + offset; };
  CopyOrigin& o = c->origin_;
  o.stamp = {h.stampSize, h.stampModified, h.stampInode, h.stampDevice};
  o.poSize = h.poSize;
  o.poHash = h.poHash;
  o.gameStamp = h.gameStamp;
  o.fault = static_cast<PoFault>(h.fault);
  o.language.assign(reinterpret_cast<const char*>(at(h.languageOffset)), h.languageSize);
  o.detail.assign(reinterpret_cast<const char*>(at(h.detailOffset)), h.detailSize);
  c->tables_.entries = {reinterpret_cast<const CatalogEntry*>(at(h.entriesOffset)), static_cast<size_t>(h.entryCount)};
  c->tables_.buckets = {reinterpret_cast<const uint32_t*>(at(h.slotsOffset)), static_cast<size_t>(h.slotCount)};
  c->tables_.keys = {reinterpret_cast<const char*>(at(h.keysOffset)), static_cast<size_t>(h.keysSize)};
  c->tables_.texts = {reinterpret_cast<const char16_t*>(at(h.textsOffset)), static_cast<size_t>(h.textsSize)};
  return c;
}

CompiledCatalog::~CompiledCatalog() {
  if (map_ && !read_) ::munmap(const_cast<uint8_t*>(map_), size_);
}

bool CompiledCatalog::Restamp(const PoFileStamp& stamp, uint64_t gameStamp) {
  FileHeader h;
  std::memcpy(&h, map_, sizeof h);
  h.stampSize = stamp.size;
  h.stampModified = stamp.modified;
  h.stampInode = stamp.inode;
  h.stampDevice = stamp.device;
  h.gameStamp = gameStamp;
  h.headerHash = HeaderHash(h);
  // The header alone is written again, in one write, so a reader sees the old one or the new one.
  const int fd = ::open(file_.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = ::pwrite(fd, &h, sizeof h, 0) == static_cast<ssize_t>(sizeof h);
  ::close(fd);
  if (written) {
    origin_.stamp = stamp;
    origin_.gameStamp = gameStamp;
  }
  return written;
}

bool WriteCompiledCatalog(const std::filesystem::path& file, const CopyOrigin& origin, const CatalogData* data) {
  FileHeader h{};
  std::memcpy(h.magic, kMagic, sizeof kMagic);
  h.stampSize = origin.stamp.size;
  h.stampModified = origin.stamp.modified;
  h.stampInode = origin.stamp.inode;
  h.stampDevice = origin.stamp.device;
  h.poSize = origin.poSize;
  h.poHash = origin.poHash;
  h.gameStamp = origin.gameStamp;
  h.fault = static_cast<uint64_t>(origin.fault);
  h.languageOffset = sizeof h;
  h.languageSize = origin.language.size();
  h.detailOffset = h.languageOffset + h.languageSize;
  h.detailSize = origin.detail.size();
  h.entriesOffset = Align8(h.detailOffset + h.detailSize);
  h.entryCount = data ? data->entries.size() : 0;
  h.slotsOffset = Align8(h.entriesOffset + h.entryCount * sizeof(CatalogEntry));
  h.slotCount = data ? data->buckets.size() : 0;
  h.keysOffset = h.slotsOffset + h.slotCount * sizeof(uint32_t);
  h.keysSize = data ? data->keys.size() : 0;
  h.textsOffset = Align8(h.keysOffset + h.keysSize);
  h.textsSize = data ? data->texts.size() : 0;
  h.fileSize = h.textsOffset + h.textsSize * sizeof(char16_t);
  h.headerHash = HeaderHash(h);

  std::string bytes(h.fileSize, '\0');
  const auto put = [&](uint64_t offset, const void* from, size_t n) {
    if (n) std::memcpy(bytes.data() + offset, from, n);
  };
  put(0, &h, sizeof h);
  put(h.languageOffset, origin.language.data(), origin.language.size());
  put(h.detailOffset, origin.detail.data(), origin.detail.size());
  if (data) {
    put(h.entriesOffset, data->entries.data(), data->entries.size() * sizeof(CatalogEntry));
    put(h.slotsOffset, data->buckets.data(), data->buckets.size() * sizeof(uint32_t));
    put(h.keysOffset, data->keys.data(), data->keys.size());
    put(h.textsOffset, data->texts.data(), data->texts.size() * sizeof(char16_t));
  }
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  // Two games starting at once each write a file of their own; the last rename wins.
  const std::filesystem::path pending = file.string() + "." + std::to_string(::getpid()) + ".pending";
  {
    std::ofstream out(pending, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush()) {
      out.close();
      std::filesystem::remove(pending, ec);
      return false;
    }
  }
  std::filesystem::rename(pending, file, ec);
  if (!ec) return true;
  std::filesystem::remove(pending, ec);
  return false;
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
  std::snprintf(name, sizeof name, "%016llx.catalogue",
                static_cast<unsigned long long>(ContentHash(absolute.lexically_normal().string())));
  return cacheDir / name;
}

}  // namespace mokuren
