// mokuren-test's run: every "*.events" file of a folder played headless against the game, on every
// core, its screenshots, recorded sound and trace compared with the goldens beside it.
#pragma once

#include <chrono>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace mokuren::testrunner {

struct RunnerOptions {
  std::filesystem::path tests;    // the folder of events files and goldens
  std::filesystem::path game;     // the game folder (by default the one that holds `tests`)
  std::filesystem::path program;  // the game program (by default the mokuren beside this program)
  std::filesystem::path results;  // where each run, the difference pictures and report.html go
  bool update = false;            // rewrite the goldens that differ or are missing
  unsigned jobs = 0;              // tests at a time, 0 = one per core
  std::chrono::seconds timeout{300};
};

enum class Outcome { Passed, Failed, Updated };

struct CheckResult {
  std::string what;  // the screenshot's file, NAME.sound, NAME.trace, or the run itself
  Outcome outcome = Outcome::Passed;
  std::string detail;
  std::string picture;  // a picture to look at, relative to the results folder; empty for none
};

struct CaseResult {
  std::string name;
  std::vector<CheckResult> checks;
  std::string gameOutput;  // what the game wrote on standard error
  double seconds = 0;

  bool Failed() const;
};

// A check's outcome as the console tells it: "      WHAT: first line" and the detail's further lines
// indented under it, at most `mostLines` of them.
std::string FormatDetail(const CheckResult& check, size_t mostLines = 12);

// The game program: mokuren beside the running tool, else the first on the PATH (else the one beside).
std::filesystem::path FindGameProgram();

// The events files of the folder, sorted by name.
std::vector<std::filesystem::path> FindTests(const std::filesystem::path& folder);

// Runs every test, writing a line to `progress` as each ends, then the report. Results are in the order
// of FindTests.
std::vector<CaseResult> RunTests(const RunnerOptions& options, std::ostream& progress);

}  // namespace mokuren::testrunner
