// What the lint reports: one finding per mistake, placed where the writer can find it, and the two ways of
// printing the list (lines for people, JSON for editors).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mokuren::lint {

enum class Severity : uint8_t { Warning, Error };

struct Finding {
  Severity severity = Severity::Error;
  std::string check;  // a short name of the rule, e.g. "jump-target"
  std::string file;   // relative to the game directory, or a scenario source as given
  int script = 0;     // SCRIPT.DAT entry, 0 when the finding is not about a script
  int step = -1;      // instruction of that script (0 = the first), -1 for none
  int entry = -1;     // entry of an archive other than SCRIPT.DAT, -1 for none
  int line = 0;       // position in the scenario source, 0 when unknown
  int column = 0;
  std::string message;
};

// The findings of one run, added where they are made.
class Findings {
 public:
  void AtFile(Severity s, std::string check, std::string file, std::string message) {
    items.push_back({s, std::move(check), std::move(file), 0, -1, -1, 0, 0, std::move(message)});
  }
  void AtEntry(Severity s, std::string check, std::string file, int entry, std::string message) {
    items.push_back({s, std::move(check), std::move(file), 0, -1, entry, 0, 0, std::move(message)});
  }
  void AtStep(Severity s, std::string check, std::string file, int script, int step, std::string message) {
    items.push_back({s, std::move(check), std::move(file), script, step, -1, 0, 0, std::move(message)});
  }

  std::vector<Finding> items;
};

// "file:script:step: severity: message [check]", "file:line:column: …" once the finding is placed in its
// source, "file:entry: …" for an archive entry, or "file: …".
std::string FormatFinding(const Finding& f);
// {"findings": [...], "errors": N, "warnings": N}
std::string FindingsToJson(const std::vector<Finding>& findings);

// Files first, then scripts, steps, entries and lines in order.
void SortFindings(std::vector<Finding>& findings);
// 0 when there is nothing, 1 when only warnings, 2 when there is an error.
int ExitStatusOf(const std::vector<Finding>& findings);

}  // namespace mokuren::lint
