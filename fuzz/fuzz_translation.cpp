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

  // As a compiled copy that names the right file, with a correct trailing hash, so its body is read.
  if (size >= 16) {
    uint64_t poSize = 0, poHash = 0;
    std::memcpy(&poSize, data, 8);
    std::memcpy(&poHash, data + 8, 8);
    std::string copy = "Mokuren translation cache 2\n" + bytes;
    const uint64_t hash = ContentHash(copy);
    copy.append(reinterpret_cast<const char*>(&hash), 8);
    const std::filesystem::path cached = Scratch() / "copy.cache";
    Write(cached, copy);
    if (const std::optional<CatalogData> c = ReadTranslationCache(cached, poSize, poHash)) {
      for (const CatalogEntry& e : c->entries)
        if (uint64_t{e.key} + e.keySize > c->keys.size() || uint64_t{e.text} + e.textSize > c->texts.size())
          std::abort();
    }
  }
  return 0;
}
