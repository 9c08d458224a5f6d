// Cost of loading a game's translation at start-up: a PO file of 20,000 entries (a long game's every
// message, choice and speaker, with the comments mokuren-i18n extract writes, under the block of
// translator's comments msginit and the translators' editors start a translation with) read into the catalog,
// the first time through libgettextpo and after that from the catalog's compiled copy, against reading
// the file's bytes alone.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "text/translation_catalog.h"

namespace {

using namespace mokuren;

constexpr int kEntries = 20000;

// The file, written once and removed when the program ends.
struct GeneratedPoFile {
  std::filesystem::path path = std::filesystem::temp_directory_path() / "mokuren-bench-translation.po";
  GeneratedPoFile() {
    std::ofstream out(path, std::ios::binary);
    out << "# English translation of the game.\n# Copyright (C) 2026 the game's translators\n"
           "# This file is distributed under the same license as the game.\n#\n"
           "msgid \"\"\nmsgstr \"\"\n\"Language: en\\n\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
    for (int i = 0; i < kEntries; ++i) {
      out << "#. speaker: ミナ\n#. voice: VOICE/v" << i << ".ogg\n#: scenario/" << 100 + i / 200 << ".txt:" << i % 200
          << "\nmsgctxt \"script " << 100 + i / 200 << " message " << i % 200 << "\"\n"
          << "msgid \"「おはよう、①くん。今日もいい天気だね。遅刻するよ？　ほら、早く早く！」\"\n"
          << "msgstr \"“Good morning, ①. Lovely weather again today. You'll be late, you know? Come on, "
             "hurry up!”\"\n\n";
    }
  }
  ~GeneratedPoFile() {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
};

const std::filesystem::path& PoFile() {
  static const GeneratedPoFile file;
  return file.path;
}

// Reference: the file's bytes read into memory.
void BM_ReadPoFileBytes(benchmark::State& state) {
  for (auto _ : state) {
    std::ifstream in(PoFile(), std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(std::filesystem::file_size(PoFile())));
}
BENCHMARK(BM_ReadPoFileBytes)->Unit(benchmark::kMillisecond);

void LoadCatalog(benchmark::State& state, const std::filesystem::path& cacheDir) {
  for (auto _ : state) {
    TranslationCatalog catalog;
    std::vector<std::string> problems;
    catalog.Load(PoFile(), problems, cacheDir);
    if (catalog.Size() != kEntries) state.SkipWithError("the catalog did not load every entry");
    benchmark::DoNotOptimize(catalog.Size());
  }
}

// The first time: libgettextpo reads the file, and every entry is filed by context and original.
void BM_LoadTranslationCatalogFirstTime(benchmark::State& state) { LoadCatalog(state, {}); }
BENCHMARK(BM_LoadTranslationCatalogFirstTime)->Unit(benchmark::kMillisecond);

// Every later start: the file's bytes read and hashed, the compiled copy read and filed.
void BM_LoadTranslationCatalog(benchmark::State& state) {
  const std::filesystem::path cacheDir = std::filesystem::temp_directory_path() / "mokuren-bench-translation-cache";
  {
    TranslationCatalog first;
    std::vector<std::string> problems;
    first.Load(PoFile(), problems, cacheDir);
  }
  LoadCatalog(state, cacheDir);
  std::error_code ec;
  std::filesystem::remove_all(cacheDir, ec);
}
BENCHMARK(BM_LoadTranslationCatalog)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
