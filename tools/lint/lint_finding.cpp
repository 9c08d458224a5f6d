#include "lint/lint_finding.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace mokuren::lint {

namespace {

const char* SeverityName(Severity s) { return s == Severity::Error ? "error" : "warning"; }

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

std::string FormatFinding(const Finding& f) {
  std::string where = f.file;
  if (f.line > 0)
    where += ":" + std::to_string(f.line) + ":" + std::to_string(f.column);
  else if (f.script > 0)
    where += ":" + std::to_string(f.script) + ":" + std::to_string(std::max(f.step, 0));
  else if (f.entry >= 0)
    where += ":" + std::to_string(f.entry);
  return where + ": " + SeverityName(f.severity) + ": " + f.message + " [" + f.check + "]";
}

std::string FindingsToJson(const std::vector<Finding>& findings) {
  std::string out = "{\"findings\": [";
  int errors = 0, warnings = 0;
  for (size_t i = 0; i < findings.size(); ++i) {
    const Finding& f = findings[i];
    (f.severity == Severity::Error ? errors : warnings) += 1;
    out += i ? ",\n  {" : "\n  {";
    out += "\"severity\": " + JsonString(SeverityName(f.severity)) + ", \"check\": " + JsonString(f.check) +
           ", \"file\": " + JsonString(f.file);
    if (f.script > 0) out += ", \"script\": " + std::to_string(f.script) + ", \"step\": " + std::to_string(f.step);
    if (f.entry >= 0) out += ", \"entry\": " + std::to_string(f.entry);
    if (f.line > 0) out += ", \"line\": " + std::to_string(f.line) + ", \"column\": " + std::to_string(f.column);
    out += ", \"message\": " + JsonString(f.message) + "}";
  }
  out += findings.empty() ? "]" : "\n]";
  return out + ", \"errors\": " + std::to_string(errors) + ", \"warnings\": " + std::to_string(warnings) + "}\n";
}

void SortFindings(std::vector<Finding>& findings) {
  std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
    return std::tie(a.file, a.script, a.step, a.entry, a.line, a.column) <
           std::tie(b.file, b.script, b.step, b.entry, b.line, b.column);
  });
}

int ExitStatusOf(const std::vector<Finding>& findings) {
  int status = 0;
  for (const Finding& f : findings) status = std::max(status, f.severity == Severity::Error ? 2 : 1);
  return status;
}

}  // namespace mokuren::lint
