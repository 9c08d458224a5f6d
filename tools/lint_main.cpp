// mokuren-lint: checks a game folder for the mistakes a writer would otherwise find only by playing.
#include <filesystem>
#include <iostream>

#include "lint/game_lint.h"
#include "lint/lint_config.h"
#include "lint/lint_rules.h"
#include "toolkit/scenario_files.h"

namespace fs = std::filesystem;
using namespace mokuren;

namespace {

const char* kUsage =
    "usage: mokuren-lint [options] GAME_DIR\n"
    "  --sources DIR   the scenario sources (script N from the file whose name carries N): findings in\n"
    "                  scripts are then placed at source.txt:line:column (default: GAME_DIR/scenario\n"
    "                  when there is one)\n"
    "  --source N=FILE the source of script N (may be given again)\n"
    "  --json          print the findings as JSON, for editors\n"
    "  --quick         look for files without decoding them\n"
    "  --deep          decode every voice to its end too (otherwise its header is read)\n"
    "  --rules         list the rules, which GAME_DIR/mokuren-lint.toml and \"lint: off RULE\" comments\n"
    "                  in the sources can turn off\n"
    "exit status: 0 nothing found, 1 warnings only, 2 errors (or the folder cannot be checked)\n";

int Usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "mokuren-lint: " << problem << '\n';
  std::cerr << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  lint::LintOptions options;
  bool json = false, sourcesGiven = false;
  try {
    for (int i = 1; i < argc; ++i) {
      const std::string arg = argv[i];
      if (arg == "--json") {
        json = true;
      } else if (arg == "--quick") {
        options.quick = true;
      } else if (arg == "--deep") {
        options.deep = true;
      } else if (arg == "--rules") {
        for (const lint::Rule& rule : lint::kRules) std::cout << rule.name << "\t" << rule.finds << '\n';
        return 0;
      } else if ((arg == "--sources" || arg == "--source") && i + 1 < argc) {
        sourcesGiven = true;
        const std::string value = argv[++i];
        if (arg == "--sources") {
          for (const auto& [n, path] : toolkit::FindScenarioSources(value)) options.sources[n] = path;
          continue;
        }
        const size_t eq = value.find('=');
        if (eq == 0 || eq == std::string::npos || value.find_first_not_of("0123456789") != eq || eq > 5)
          return Usage("--source wants N=FILE");
        options.sources[std::stoi(value.substr(0, eq))] = value.substr(eq + 1);
      } else if (arg == "--help") {
        std::cout << kUsage;
        return 0;
      } else if (!arg.empty() && arg[0] == '-') {
        return Usage("unknown option " + arg);
      } else if (options.game.empty()) {
        options.game = arg;
      } else {
        return Usage("one game folder at a time");
      }
    }
  } catch (const std::exception& e) {
    return Usage(e.what());
  }
  if (options.game.empty()) return Usage("");
  if (!fs::is_directory(options.game)) return Usage(options.game.string() + " is not a folder");
  // A game made with mokuren-new keeps its sources in scenario/.
  if (const fs::path scenario = (options.game / "scenario").lexically_normal();
      !sourcesGiven && fs::is_directory(scenario)) {
    try {
      for (const auto& [n, path] : toolkit::FindScenarioSources(scenario)) options.sources[n] = path;
    } catch (const std::exception& e) {
      return Usage(e.what());
    }
  }
  const std::vector<lint::Finding> findings = lint::LintGame(options);
  if (json) {
    std::cout << lint::FindingsToJson(findings);
    return lint::ExitStatusOf(findings);
  }
  size_t errors = 0;
  for (const lint::Finding& f : findings) {
    std::cout << lint::FormatFinding(f) << '\n';
    errors += f.severity == lint::Severity::Error ? 1 : 0;
  }
  std::cout << "mokuren-lint: " << options.game.generic_string() << ": "
            << (findings.empty() ? std::string("clean")
                                 : std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") +
                                       std::to_string(findings.size() - errors) +
                                       (findings.size() - errors == 1 ? " warning" : " warnings"))
            << '\n';
  return lint::ExitStatusOf(findings);
}
