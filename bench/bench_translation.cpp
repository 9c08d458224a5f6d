// What a translation costs: the start of a long game (65,000 messages in 130 scripts) played in its
// original language against the same start with every text translated (a PO file of about 16 MB), from the
// compiled copy as every start after the first is, and the first start, which reads the PO file; then the
// peak memory of reading hostile PO files against their size, in the engine and in `mokuren-i18n check`.
// Each start is the real program run headless to its first pass (`--max-ms 1`); times are wall-clock,
// memories the child's peak resident size.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "toolkit/archive_writer.h"
#include "toolkit/png_writer.h"
#include "toolkit/scenario_assembler.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace mokuren;

constexpr int kScripts = 130, kMessagesPerScript = 500;

struct RunResult {
  double seconds = 0;
  double peakMiB = 0;
  int status = -1;
};

// Runs a program with its output thrown away; its wall time and peak resident size.
RunResult Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  RunResult r;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) return r;
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  posix_spawn_file_actions_destroy(&actions);
  return r;
}

// The long game and its English, made once; the cache of compiled copies is the bench's own.
struct LongGame {
  fs::path dir = fs::temp_directory_path() / ("mokuren-bench-long-game-" + std::to_string(std::random_device{}()));
  fs::path cache = dir / "cache";
  uint64_t poBytes = 0;
  LongGame() {
    fs::create_directories(dir / "tl");
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    std::vector<toolkit::ArchiveEntry> scripts(kScripts);
    std::ofstream po(dir / "tl" / "en.po", std::ios::binary);
    po << "# English translation of the long game.\n"
          "msgid \"\"\nmsgstr \"\"\n\"Language: en\\n\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
    for (int s = 0; s < kScripts; ++s) {
      std::string source;
      for (int m = 0; m < kMessagesPerScript; ++m) {
        const std::string text = "ミナ「おはよう、①くん。今日もいい天気だね。遅刻するよ？　ほら、早く早く！" +
                                 std::to_string(s) + "の" + std::to_string(m) + "」";
        source += "msg \"" + text + "\"\n";
        po << "#. speaker: ミナ\n#: scenario/" << s + 1 << ".txt:" << m + 1 << "\nmsgctxt \"script " << s + 1
           << " message " << m << "\"\n"
           << "msgid \"「おはよう、①くん。今日もいい天気だね。遅刻するよ？　ほら、早く早く！" << s << "の" << m
           << "」\"\nmsgstr \"“Morning, ①. Lovely weather again. You'll be late! Line " << m << " of " << s
           << ".”\"\n\n";
      }
      source += "end\n";
      scripts[static_cast<size_t>(s)] = {"script" + std::to_string(s + 1),
                                         toolkit::AssembleScenarioOrThrow(source, "script" + std::to_string(s + 1))};
    }
    po << "msgctxt \"speaker\"\nmsgid \"ミナ\"\nmsgstr \"Mina\"\n";
    po.close();
    poBytes = fs::file_size(dir / "tl" / "en.po");
    toolkit::WriteArchive(dir / "SCRIPT.DAT", scripts);
    toolkit::WriteArchive(dir / "GRAPHIC.DAT", {});
    toolkit::WriteArchive(dir / "SYSGRP.DAT", {});
  }
  ~LongGame() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  RunResult Start(const std::string& lang) const {
    return Run({MOKUREN_PROGRAM, dir.string(), "--headless", "--max-ms", "1", "--lang", lang});
  }
};

const LongGame& Game() {
  static const LongGame game;
  return game;
}

void Report(benchmark::State& state, double seconds, double peak, int runs) {
  state.counters["start_ms"] = seconds * 1000 / runs;
  state.counters["peak_MiB"] = peak;
}

// The reference: the long game in its original language.
void BM_StartOriginal(benchmark::State& state) {
  const LongGame& game = Game();
  double seconds = 0, peak = 0;
  int runs = 0;
  for (auto _ : state) {
    const RunResult r = game.Start("ja");
    if (r.status != 0) state.SkipWithError("the program failed");
    seconds += r.seconds, peak = std::max(peak, r.peakMiB), ++runs;
  }
  Report(state, seconds, peak, runs);
}
BENCHMARK(BM_StartOriginal)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// Every start after the first: the compiled copy mapped.
void BM_StartTranslated(benchmark::State& state) {
  const LongGame& game = Game();
  game.Start("en");  // the first start leaves the compiled copy
  double seconds = 0, peak = 0;
  int runs = 0;
  for (auto _ : state) {
    const RunResult r = game.Start("en");
    if (r.status != 0) state.SkipWithError("the program failed");
    seconds += r.seconds, peak = std::max(peak, r.peakMiB), ++runs;
  }
  Report(state, seconds, peak, runs);
  state.counters["po_MiB"] = static_cast<double>(game.poBytes) / (1 << 20);
}
BENCHMARK(BM_StartTranslated)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// The first start with a new PO file: read through libgettextpo, checked against the game, compiled.
void BM_StartTranslatedFirstTime(benchmark::State& state) {
  const LongGame& game = Game();
  double seconds = 0, peak = 0;
  int runs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::error_code ec;
    fs::remove_all(game.cache, ec);
    state.ResumeTiming();
    const RunResult r = game.Start("en");
    if (r.status != 0) state.SkipWithError("the program failed");
    seconds += r.seconds, peak = std::max(peak, r.peakMiB), ++runs;
  }
  Report(state, seconds, peak, runs);
}
BENCHMARK(BM_StartTranslatedFirstTime)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Hostile PO files of about 50 MB, each as tl/xx.po of a small game.
enum class Hostile { HugeMessage, RandomBytes, ForeignContexts };

fs::path HostileGame(Hostile kind) {
  const fs::path dir = Game().dir / ("hostile-" + std::to_string(static_cast<int>(kind)));
  if (fs::exists(dir / "tl" / "xx.po")) return dir;
  fs::create_directories(dir / "tl");
  toolkit::WriteArchive(dir / "SCRIPT.DAT",
                        {{"script1", toolkit::AssembleScenarioOrThrow("msg \"一つ目。\"\nend\n", "script1")}});
  toolkit::WriteArchive(dir / "GRAPHIC.DAT", {});
  toolkit::WriteArchive(dir / "SYSGRP.DAT", {});
  std::ofstream po(dir / "tl" / "xx.po", std::ios::binary);
  po << "msgid \"\"\nmsgstr \"\"\n\"Language: en\\n\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
  switch (kind) {
    case Hostile::HugeMessage:
      po << "msgctxt \"script 1 message 0\"\nmsgid \"一つ目。\"\nmsgstr \"" << std::string(50 << 20, 'x') << "\"\n";
      break;
    case Hostile::RandomBytes: {
      std::mt19937 random(7);
      std::string bytes(50 << 20, '\0');
      for (char& c : bytes) c = static_cast<char>(random());
      po << bytes;
      break;
    }
    case Hostile::ForeignContexts:
      for (int i = 0; i < 1'000'000; ++i)
        po << "msgctxt \"script 9 message " << i << "\"\nmsgid \"よそ\"\nmsgstr \"Foreign\"\n\n";
      break;
  }
  return dir;
}

void HostileRun(benchmark::State& state, bool check) {
  const fs::path dir = HostileGame(static_cast<Hostile>(state.range(0)));
  const fs::path po = dir / "tl" / "xx.po";
  double peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::error_code ec;
    fs::remove_all(Game().cache, ec);
    state.ResumeTiming();
    const RunResult r = check ? Run({MOKUREN_I18N, "check", dir.string(), po.string()})
                              : Run({MOKUREN_PROGRAM, dir.string(), "--headless", "--max-ms", "1", "--lang", "xx"});
    peak = std::max(peak, r.peakMiB);
  }
  const double file = static_cast<double>(fs::file_size(po)) / (1 << 20);
  state.counters["file_MiB"] = file;
  state.counters["peak_MiB"] = peak;
  state.counters["peak_per_file"] = peak / file;
}

// The engine's first start with the hostile file (the reference: BM_StartOriginal's peak).
void BM_HostileStart(benchmark::State& state) { HostileRun(state, false); }
BENCHMARK(BM_HostileStart)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// `mokuren-i18n check`, which reads obsolete entries too and keeps every entry.
void BM_HostileCheck(benchmark::State& state) { HostileRun(state, true); }
BENCHMARK(BM_HostileCheck)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
