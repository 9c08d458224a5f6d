// What a game says about the lint's rules, in two places:
//
// mokuren-lint.toml in the game folder, a small TOML file with one table:
//
//   [rules]
//   read-skip = "off"          # the story lives in scripts 101-103 for now
//   label-unused = "error"
//
// sets each named rule to "off" (its findings are dropped), "warning" or "error". `#` starts a comment;
// keys may be quoted. Any other table, key or value is reported as a `lint-config` finding at its line.
//
// And in scenario sources, a comment holding "lint: off RULE [RULE...]" turns those rules off for the
// findings placed on its line; a line that is only such a comment does the same for the next line that
// is not a comment.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "lint/lint_finding.h"

namespace mokuren::lint {

inline constexpr const char* kLintConfigFile = "mokuren-lint.toml";

enum class RuleSetting { Off, Warning, Error };

struct LintConfig {
  std::string file;                             // as shown in findings; empty when the game has none
  std::map<std::string, RuleSetting> settings;  // rule -> its setting
};

// Reads GAME_DIR/mokuren-lint.toml when there is one; its mistakes are added to `findings`.
LintConfig ReadLintConfig(const std::filesystem::path& game, Findings& findings);

// The rules a "lint: off" comment of this source line names, and the words after "lint: off" that are
// not rules (for the writer to be told). Comments start with ";", "//" outside a string, or "#" at the
// start of the line.
struct LineSwitches {
  std::set<std::string> off;
  std::vector<std::string> unknown;
  bool commentOnly = false;  // the line holds nothing but a comment (or nothing at all)
  bool blank = false;
};
LineSwitches ReadLineSwitches(std::string_view line);

// The rules turned off for findings on each line (1-based) of a source, and a `lint-config` finding for
// each word after "lint: off" that is not a rule.
std::map<int, std::set<std::string>> RulesOffByLine(const std::string& source, const std::string& file,
                                                    Findings& findings);

// Drops the findings of rules that are off (in the configuration, or on their source line through
// `offByLine`, keyed by source file) and gives the others the severity the configuration sets.
void ApplySwitches(const LintConfig& config,
                   const std::map<std::string, std::map<int, std::set<std::string>>>& offByLine,
                   std::vector<Finding>& findings);

}  // namespace mokuren::lint
