#include "lint/lint_config.h"

#include <algorithm>
#include <cctype>

#include "lint/lint_rules.h"
#include "platform/game_files.h"
#include "toolkit/archive_writer.h"

namespace fs = std::filesystem;

namespace mokuren::lint {

namespace {

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// The part of a TOML line before its comment ("#" outside a string).
std::string_view TomlContent(std::string_view line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"' && (i == 0 || line[i - 1] != '\\')) quoted = !quoted;
    if (line[i] == '#' && !quoted) return Trimmed(line.substr(0, i));
  }
  return Trimmed(line);
}

// A bare or quoted TOML key or string; false when it is neither.
bool Unquote(std::string_view s, bool mustQuote, std::string& out) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') {
    out = std::string(s.substr(1, s.size() - 2));
    return out.find('"') == std::string::npos;
  }
  if (mustQuote || s.empty()) return false;
  const bool bare = std::all_of(
      s.begin(), s.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_'; });
  out = std::string(s);
  return bare;
}

// Where a scenario line's comment starts: ";" or "//" outside a string, or "#" as its first character.
size_t CommentStart(std::string_view line) {
  const std::string_view body = Trimmed(line);
  if (!body.empty() && body.front() == '#') return line.find('#');
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (quoted && line[i] == '\\') {
      ++i;
      continue;
    }
    if (line[i] == '"') quoted = !quoted;
    if (quoted) continue;
    if (line[i] == ';' || (line[i] == '/' && i + 1 < line.size() && line[i + 1] == '/')) return i;
  }
  return std::string_view::npos;
}

}  // namespace

LintConfig ReadLintConfig(const fs::path& game, Findings& findings) {
  LintConfig config;
  const fs::path path = FindGameFile(game, kLintConfigFile);
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return config;
  config.file = path.filename().string();
  std::string text, error;
  if (!toolkit::ReadWholeFile(path, text, error)) {
    findings.AtFile(Severity::Error, "lint-config", config.file, error);
    return config;
  }
  auto problem = [&](int line, std::string message) {
    findings.items.push_back({Severity::Warning, "lint-config", config.file, 0, -1, -1, line, 1,
                              std::move(message) + "; the line is left out"});
  };
  std::string table;
  int number = 0;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = TomlContent(std::string_view(text).substr(start, end - start));
    start = end + 1;
    ++number;
    if (line.empty()) continue;
    if (line.front() == '[') {
      if (line.back() != ']' || !Unquote(Trimmed(line.substr(1, line.size() - 2)), false, table))
        problem(number, "a table is written [rules]");
      else if (table != "rules")
        problem(number, "[" + table + "] is not a table mokuren-lint reads (only [rules])");
      continue;
    }
    const size_t eq = line.find('=');
    std::string key, value;
    if (eq == std::string_view::npos || !Unquote(Trimmed(line.substr(0, eq)), false, key) ||
        !Unquote(Trimmed(line.substr(eq + 1)), true, value)) {
      problem(number, "a rule is set as  name = \"off\"  (or \"warning\", \"error\")");
      continue;
    }
    if (table != "rules") {
      problem(number, "rules are set under a [rules] line");
      continue;
    }
    if (!IsRule(key)) {
      problem(number, "\"" + key + "\" is not a rule of mokuren-lint (mokuren-lint --rules lists them)");
      continue;
    }
    static const std::map<std::string, RuleSetting, std::less<>> kValues = {
        {"off", RuleSetting::Off}, {"warning", RuleSetting::Warning}, {"error", RuleSetting::Error}};
    const auto it = kValues.find(value);
    if (it == kValues.end()) {
      problem(number, "a rule is \"off\", \"warning\" or \"error\", not \"" + value + "\"");
      continue;
    }
    config.settings[key] = it->second;
  }
  return config;
}

LineSwitches ReadLineSwitches(std::string_view line) {
  LineSwitches s;
  const size_t comment = CommentStart(line);
  const std::string_view code = Trimmed(line.substr(0, std::min(comment, line.size())));
  s.blank = Trimmed(line).empty();
  s.commentOnly = code.empty();
  if (comment == std::string_view::npos) return s;
  std::string_view text = line.substr(comment);
  const size_t at = text.find("lint: off");
  if (at == std::string_view::npos) return s;
  text.remove_prefix(at + 9);
  // Rule names follow, separated by blanks or commas; the first word that is not shaped like a rule name
  // ends them, so an explanation may follow.
  for (size_t i = 0; i < text.size();) {
    while (i < text.size() && (text[i] == ' ' || text[i] == ',' || text[i] == '\t')) ++i;
    size_t e = i;
    while (e < text.size() && (std::islower(static_cast<unsigned char>(text[e])) ||
                               std::isdigit(static_cast<unsigned char>(text[e])) || text[e] == '-'))
      ++e;
    if (e == i || (e < text.size() && text[e] != ' ' && text[e] != ',' && text[e] != '\t')) break;
    const std::string word(text.substr(i, e - i));
    if (IsRule(word))
      s.off.insert(word);
    else
      s.unknown.push_back(word);
    i = e;
  }
  return s;
}

std::map<int, std::set<std::string>> RulesOffByLine(const std::string& source, const std::string& file,
                                                    Findings& findings) {
  std::map<int, std::set<std::string>> off;
  std::set<std::string> pending;  // from comment lines, for the next line that is not one
  int number = 0;
  for (size_t start = 0; start < source.size();) {
    size_t end = source.find('\n', start);
    if (end == std::string::npos) end = source.size();
    std::string_view line = std::string_view(source).substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    start = end + 1;
    ++number;
    const LineSwitches s = ReadLineSwitches(line);
    for (const std::string& word : s.unknown)
      findings.items.push_back({Severity::Warning, "lint-config", file, 0, -1, -1, number, 1,
                                "\"" + word + "\" after \"lint: off\" is not a rule of mokuren-lint"});
    if (s.blank) {
      pending.clear();
    } else if (s.commentOnly) {
      pending.insert(s.off.begin(), s.off.end());
    } else {
      std::set<std::string> rules = s.off;
      rules.insert(pending.begin(), pending.end());
      pending.clear();
      if (!rules.empty()) off[number] = std::move(rules);
    }
  }
  return off;
}

void ApplySwitches(const LintConfig& config,
                   const std::map<std::string, std::map<int, std::set<std::string>>>& offByLine,
                   std::vector<Finding>& findings) {
  std::erase_if(findings, [&](const Finding& f) {
    if (const auto it = config.settings.find(f.check); it != config.settings.end() && it->second == RuleSetting::Off)
      return true;
    const auto file = offByLine.find(f.file);
    if (file == offByLine.end() || f.line <= 0) return false;
    const auto line = file->second.find(f.line);
    return line != file->second.end() && line->second.count(f.check) > 0;
  });
  for (Finding& f : findings)
    if (const auto it = config.settings.find(f.check); it != config.settings.end())
      f.severity = it->second == RuleSetting::Error ? Severity::Error : Severity::Warning;
}

}  // namespace mokuren::lint
