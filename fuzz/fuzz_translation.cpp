// A translation comes from whoever made it, and its compiled copy from the player's cache folder: the
// catalog must read any PO file (through libgettextpo) and refuse any damaged copy without crashing or
// reading outside it.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "text/translation_cache.h"
#include "text/translation_catalog.h"

namespace {

const std::filesystem::path& Scratch() {
  static const std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() / ("mokuren-fuzz-translation-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

void Write(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mokuren;
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // As a PO file.
  const std::filesystem::path po = Scratch() / "xx.po";
  Write(po, bytes);
  TranslationCatalog catalog;
  std::vector<std::string> problems;
  catalog.Load(po, problems);
  for (const std::u16string& item : catalog.Choices(1, 0, u"一緒に行く,先に行ってもらう")) (void)item;
  (void)catalog.Message(1, 0, u"ミナ「おはよう、①くん。」");

  // As a compiled copy: the input with the copy's magic and its own size in front and a header hash that
  // matches, so its tables are taken and searched. The header is 24 bytes of magic, 22 fields of 8 bytes,
  // the size second and the hash last (translation_cache.cpp).
  constexpr size_t kHeader = 24 + 22 * 8;
  if (size >= kHeader) {
    std::string copy = bytes;
    std::memcpy(copy.data(), "Mokuren catalogue 3\n\0\0\0\0", 24);
    const uint64_t fileSize = copy.size();
    std::memcpy(copy.data() + 24, &fileSize, 8);
    const uint64_t hash = ContentHash(std::string_view(copy).substr(0, kHeader - 8));
    std::memcpy(copy.data() + kHeader - 8, &hash, 8);
    const std::filesystem::path cached = Scratch() / "copy.catalogue";
    Write(cached, copy);
    if (const std::unique_ptr<CompiledCatalog> c = CompiledCatalog::Open(cached)) {
      const CatalogTables& t = c->Tables();
      size_t seen = 0;
      for (const CatalogEntry& e : t.entries) {
        seen += t.KeyOf(e).size() + t.TextOf(e).size();
        if (const CatalogEntry* found = t.Lookup(t.KeyOf(e))) seen += found->line;
      }
      (void)t.Lookup("script 1\4あ");
      if (seen == static_cast<size_t>(-1)) std::abort();
    }
  }
  return 0;
}
