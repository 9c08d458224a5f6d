// What the writers' tools cost at the size of a commercial game, beside a small game in the same run: the
// build (everything, nothing changed, one script edited), the lint (quick and whole) and the explorer. The
// large game (tools/large_game: 100 scripts, 63,746 messages, 500 choices, 2,000 pictures, 20,000 voices)
// is made once into the build folder, large-game/, and built there; the small one is the demo for the lint
// and the explorer, and a new game from mokuren-new's sources for the build.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "explorer/game_explorer.h"
#include "large_game/large_game.h"
#include "lint/game_lint.h"
#include "project/game_build.h"
#include "project/starter_project.h"
#include "toolkit/archive_writer.h"
#include "toolkit/build_state.h"
#include "toolkit/scenario_files.h"

namespace fs = std::filesystem;
using namespace mokuren;

namespace {

const fs::path kDemo = MOKUREN_DEMO_DIR;
const fs::path kBuild = MOKUREN_BUILD_DIR;

// The large game's folder, made (and built) at the first call: a few minutes, told on standard error.
const fs::path& LargeGame() {
  static const fs::path dir = [] {
    const fs::path d = kBuild / "large-game";
    if (!fs::exists(d / "done")) {
      largegame::WriteLargeGame(d, {}, std::cerr);
      std::ostringstream progress;
      if (!project::BuildGame(d, progress, std::cerr)) throw std::runtime_error("the large game does not build");
      toolkit::WriteWholeFile(d / "done", "");
    }
    return d;
  }();
  return dir;
}

// A new game from mokuren-new's sources, built once.
const fs::path& SmallGame() {
  static const fs::path dir = [] {
    const fs::path d = kBuild / "bench-small-game";
    fs::remove_all(d);
    std::ostringstream progress;
    project::WriteStarterProject(d, "小さな試作", progress);
    project::BuildGame(d, progress, std::cerr);
    return d;
  }();
  return dir;
}

const fs::path& Game(const benchmark::State& state) { return state.range(0) ? LargeGame() : SmallGame(); }
const fs::path& Played(const benchmark::State& state) { return state.range(0) ? LargeGame() : kDemo; }

void Build(const fs::path& dir) {
  std::ostringstream progress, errors;
  if (!project::BuildGame(dir, progress, errors)) throw std::runtime_error(errors.str());
}

// Everything built again, as the first build (or one without its state) does.
void BM_BuildWhole(benchmark::State& state) {
  const fs::path& dir = Game(state);
  for (auto _ : state) {
    fs::remove(dir / toolkit::kBuildStateFile);
    Build(dir);
  }
}
BENCHMARK(BM_BuildWhole)->Arg(0)->Arg(1)->ArgName("large")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void BM_BuildNothingChanged(benchmark::State& state) {
  const fs::path& dir = Game(state);
  Build(dir);
  for (auto _ : state) Build(dir);
}
BENCHMARK(BM_BuildNothingChanged)->Arg(0)->Arg(1)->ArgName("large")->Unit(benchmark::kMillisecond)->UseRealTime();

// One message of the first scene changed, as a writer's edit: that script is compiled again and
// SCRIPT.DAT written.
void BM_BuildOneScriptEdited(benchmark::State& state) {
  const fs::path& dir = Game(state);
  const fs::path source = toolkit::FindScenarioSources(dir / "scenario").rbegin()->second;
  const std::string text = toolkit::ReadWholeFile(source);
  Build(dir);
  int edit = 0;
  for (auto _ : state) {
    state.PauseTiming();
    toolkit::WriteWholeFile(source, text + "msg \"書き足した一行、その" + std::to_string(++edit) + "。\"\n");
    state.ResumeTiming();
    Build(dir);
  }
  toolkit::WriteWholeFile(source, text);
  Build(dir);
}
BENCHMARK(BM_BuildOneScriptEdited)->Arg(0)->Arg(1)->ArgName("large")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LintQuick(benchmark::State& state) {
  const lint::LintOptions options{Played(state), {}, true};
  for (auto _ : state) benchmark::DoNotOptimize(lint::LintGame(options));
}
BENCHMARK(BM_LintQuick)->Arg(0)->Arg(1)->ArgName("large")->Unit(benchmark::kMillisecond)->UseRealTime();

// Every picture decoded, every sound file's header read (the music's whole), the movie opened.
void BM_LintWhole(benchmark::State& state) {
  const lint::LintOptions options{Played(state), {}, false};
  for (auto _ : state) benchmark::DoNotOptimize(lint::LintGame(options));
}
BENCHMARK(BM_LintWhole)->Arg(0)->Arg(1)->ArgName("large")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// Every branch of every choice, from the start of the story to its end.
void BM_Explore(benchmark::State& state) {
  explorer::ExploreOptions options;
  options.game = Played(state);
  options.work = kBuild / "bench-explore";
  options.status = &std::cerr;
  size_t paths = 0, left = 0;
  for (auto _ : state) {
    fs::remove_all(options.work);
    fs::create_directories(options.work);
    const explorer::ExploreResult result = explorer::Explore(options);
    paths = result.paths.size();
    left = result.queuedLeft;
  }
  state.counters["paths"] = static_cast<double>(paths);
  state.counters["branches_left"] = static_cast<double>(left);
}
BENCHMARK(BM_Explore)->Arg(0)->Arg(1)->ArgName("large")->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
