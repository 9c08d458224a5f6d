// mokuren-lint's whole run: read a game folder, check it, and place what was found in the scenario
// sources when they are given.
#pragma once

#include <filesystem>
#include <map>
#include <vector>

#include "lint/lint_finding.h"

namespace mokuren::lint {

struct LintOptions {
  std::filesystem::path game;
  // Scenario sources by script number. A source that assembles to its script's bytes places that
  // script's findings at its lines; one that does not is reported as out of date.
  std::map<int, std::filesystem::path> sources;
  // Files are looked for but not decoded.
  bool quick = false;
  // Every voice decoded to its end, as music and effects are (otherwise a voice's header is checked).
  bool deep = false;
};

// Every finding, sorted (SortFindings).
std::vector<Finding> LintGame(const LintOptions& options);

}  // namespace mokuren::lint
