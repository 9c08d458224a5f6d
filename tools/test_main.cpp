// mokuren-test: plays every events file of a folder headless against the game and compares what was
// seen and heard with the goldens beside it; with --explore, plays the game through every choice.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <vector>

#include <unistd.h>

#include "explorer/explore_report.h"
#include "explorer/game_explorer.h"
#include "test_runner/test_runner.h"

namespace fs = std::filesystem;
using namespace mokuren;

namespace {

const char* kUsage =
    "usage: mokuren-test [options] DIR\n"
    "       mokuren-test --explore GAME_DIR [--max-paths N] [--max-seconds S] [--html OUT.html]\n"
    "       mokuren-test --record GAME_DIR OUT.events [--program FILE]\n"
    "  plays each DIR/*.events headless and compares its screenshots with the golden pictures beside it,\n"
    "  the recorded sound with NAME.sound and the trace's TaskCode sequence with NAME.trace\n"
    "  --game GAME_DIR   the game (default: the folder that holds DIR)\n"
    "  --program FILE    the game program (default: mokuren beside mokuren-test, else on the PATH)\n"
    "  --results DIR     where the runs, difference pictures and report.html go (default: a folder of\n"
    "                    their own, ~/.cache/mokuren-test/GAME-HASH, never the game or the current folder)\n"
    "  --update          rewrite the goldens that differ or are missing, once you have looked at them\n"
    "  -j N              run N tests at a time (default: one per core)\n"
    "  --timeout S       stop a game still running after S seconds (default 300)\n"
    "  --record          play GAME_DIR in its window; what you do is written to OUT.events as a test\n"
    "                    that waits where the game waited for you (then mokuren-test --update makes goldens)\n"
    "exit status: 0 all passed (or updated), 1 a test failed, 2 the tests could not be run\n"
    "--explore plays GAME_DIR headless through every choice reachable from script 1 and reports the\n"
    "messages, choices, labels and scripts reached and never reached, dead ends and error-list lines;\n"
    "  each choice's other options start from its state, saved there; paths done, branches left and the\n"
    "  time go to standard error as it runs\n"
    "  --max-paths N     stop after N paths (default 10000)\n"
    "  --max-seconds S   stop after S seconds (default 600)\n"
    "  --html FILE       write the report as an HTML page too\n"
    "  exit status: 0 everything reached with no dead end and no error, 1 otherwise, 2 it could not run\n";

int Usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "mokuren-test: " << problem << '\n';
  std::cerr << kUsage;
  return 2;
}

// The results' own folder: $XDG_CACHE_HOME/mokuren-test (~/.cache/mokuren-test), one folder per tests
// folder, named after its game and a hash of the tests folder's path so two games never share one.
fs::path DefaultResults(const fs::path& tests, const fs::path& game) {
  fs::path cache;
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/')
    cache = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home)
    cache = fs::path(home) / ".cache";
  else
    cache = fs::temp_directory_path();
  uint32_t hash = 2166136261u;  // FNV-1a
  for (unsigned char c : tests.string()) hash = (hash ^ c) * 16777619u;
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08x", hash);
  fs::path name = game.lexically_normal();
  if (!name.has_filename()) name = name.parent_path();
  return cache / "mokuren-test" / (name.filename().string() + "-" + hex);
}

bool Number(const char* text, long& out) {
  char* end = nullptr;
  out = std::strtol(text, &end, 10);
  return *text && !*end && out > 0;
}

int Explore(const fs::path& game, const fs::path& results, long maxPaths, long maxSeconds, const fs::path& html) {
  if (!fs::is_directory(game)) return Usage("the game folder " + game.string() + " does not exist");
  explorer::ExploreOptions options;
  options.game = fs::absolute(game);
  options.work =
      results.empty() ? DefaultResults(options.game / "explore", options.game) / "explore" : fs::absolute(results);
  if (maxPaths > 0) options.maxPaths = static_cast<size_t>(maxPaths);
  if (maxSeconds > 0) options.maxSeconds = static_cast<double>(maxSeconds);
  options.progress = &std::cout;
  options.status = &std::cerr;
  options.statusOnTerminal = ::isatty(STDERR_FILENO) != 0;
  fs::create_directories(options.work);
  const explorer::ExploreResult result = explorer::Explore(options);
  const explorer::ExploreSummary summary = explorer::Summarize(result);
  explorer::WriteTextReport(std::cout, result, summary, game.string());
  if (!html.empty()) {
    explorer::WriteHtmlReport(html, result, summary, game.string());
    std::cout << "report: " << html.string() << '\n';
  }
  if (!result.startFailure.empty()) return 2;
  return summary.clean ? 0 : 1;
}

// Hands the terminal to the game, played in its window with its input written as an events file.
int Record(const fs::path& program, const fs::path& game, const fs::path& out) {
  if (!fs::is_directory(game)) return Usage("the game folder " + game.string() + " does not exist");
  std::cout << "mokuren-test: recording into " << out.string()
            << " as you play; close the game to end. Add screenshot lines where the test should look.\n"
            << std::flush;
  const std::vector<std::string> args = {program.string(), game.string(), "--record-events",
                                         out.string(),     "--lang",      "ja"};
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  ::execv(argv[0], argv.data());
  std::cerr << "mokuren-test: cannot start " << program.string() << '\n';
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  testrunner::RunnerOptions options;
  fs::path explore, html;
  long maxPaths = 0, maxSeconds = 0;
  std::vector<std::string> record;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    long n = 0;
    if (arg == "--update") {
      options.update = true;
    } else if (arg == "--game" && hasValue) {
      options.game = argv[++i];
    } else if (arg == "--program" && hasValue) {
      options.program = argv[++i];
    } else if (arg == "--results" && hasValue) {
      options.results = argv[++i];
    } else if (arg == "-j" && hasValue && Number(argv[i + 1], n)) {
      options.jobs = static_cast<unsigned>(n);
      ++i;
    } else if (arg == "--timeout" && hasValue && Number(argv[i + 1], n)) {
      options.timeout = std::chrono::seconds(n);
      ++i;
    } else if (arg == "--explore" && hasValue) {
      explore = argv[++i];
    } else if (arg == "--html" && hasValue) {
      html = argv[++i];
    } else if (arg == "--max-paths" && hasValue && Number(argv[i + 1], n)) {
      maxPaths = n;
      ++i;
    } else if (arg == "--max-seconds" && hasValue && Number(argv[i + 1], n)) {
      maxSeconds = n;
      ++i;
    } else if (arg == "--record" && i + 2 < argc) {
      record = {argv[i + 1], argv[i + 2]};
      i += 2;
    } else if (arg == "--help") {
      std::cout << kUsage;
      return 0;
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage("unknown option or missing value: " + arg);
    } else if (options.tests.empty()) {
      options.tests = arg;
    } else {
      return Usage("one test folder at a time");
    }
  }
  if (!explore.empty()) {
    if (!options.tests.empty()) return Usage("--explore takes the game folder alone");
    try {
      return Explore(explore, options.results, maxPaths, maxSeconds, html);
    } catch (const std::exception& e) {
      std::cerr << "mokuren-test: " << e.what() << '\n';
      return 2;
    }
  }
  if (!record.empty()) {
    if (options.program.empty()) options.program = testrunner::FindGameProgram();
    return Record(fs::absolute(options.program), fs::absolute(record[0]), fs::absolute(record[1]));
  }
  if (options.tests.empty()) return Usage("");
  try {
    options.tests = fs::absolute(options.tests).lexically_normal();
    if (!options.tests.has_filename()) options.tests = options.tests.parent_path();
    if (!fs::is_directory(options.tests)) return Usage(options.tests.string() + " is not a folder");
    if (options.game.empty()) options.game = options.tests.parent_path();
    options.game = fs::absolute(options.game);
    if (!fs::is_directory(options.game)) return Usage("the game folder " + options.game.string() + " does not exist");
    if (options.program.empty()) options.program = testrunner::FindGameProgram();
    options.program = fs::absolute(options.program);
    options.results =
        options.results.empty() ? DefaultResults(options.tests, options.game) : fs::absolute(options.results);
    fs::create_directories(options.results);
    if (testrunner::FindTests(options.tests).empty())
      return Usage("there are no .events files in " + options.tests.string());
    const std::vector<testrunner::CaseResult> results = testrunner::RunTests(options, std::cout);
    size_t failed = 0;
    for (const auto& r : results) failed += r.Failed() ? 1 : 0;
    std::cout << results.size() - failed << " of " << results.size()
              << " tests passed; report: " << (options.results / "report.html").string() << '\n';
    return failed ? 1 : 0;
  } catch (const std::exception& e) {
    std::cerr << "mokuren-test: " << e.what() << '\n';
    return 2;
  }
}
