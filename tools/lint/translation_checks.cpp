// The game's translations (tl/*.po), checked as `mokuren-i18n check` checks them and reported as the
// lint's findings at their lines of the PO file.
#include <algorithm>
#include <charconv>
#include <system_error>

#include "i18n/translation_check.h"
#include "lint/game_checks.h"

namespace mokuren::lint {

namespace {

// A reading problem "FILE:LINE: message" (or "FILE: message") as a finding at that line.
Finding ReadingProblem(Severity severity, const std::string& file, const std::string& full,
                       const std::string& problem) {
  Finding f{severity, "translation", file, 0, -1, -1, 0, 0, problem};
  if (problem.compare(0, full.size() + 1, full + ":") != 0) return f;
  const char* p = problem.data() + full.size() + 1;
  const char* end = problem.data() + problem.size();
  auto [after, ec] = std::from_chars(p, end, f.line);
  if (ec == std::errc() && end - after >= 2 && *after == ':') {
    f.column = 1;
    f.message = std::string(after + 2, end);
  } else {
    f.line = 0;
    f.message = std::string(p + (p < end && *p == ' ' ? 1 : 0), end);
  }
  return f;
}

}  // namespace

void CheckTranslations(const GameData& game, Findings& findings) {
  std::error_code ec;
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(game.dir / "tl", ec))
    if (e.path().extension() == ".po" && e.is_regular_file(ec)) files.push_back(e.path());
  if (files.empty()) return;
  std::sort(files.begin(), files.end());
  i18n::TranslationGame texts;
  try {
    texts = i18n::ReadTranslationGame(game.dir, {});
  } catch (const std::exception&) {
    return;  // the archive check reports a missing or damaged SCRIPT.DAT
  }
  for (const std::filesystem::path& path : files) {
    const std::string file = "tl/" + path.filename().string();
    std::vector<std::string> problems;
    const auto checked = i18n::CheckTranslationFile(texts, path, problems);
    for (const std::string& p : problems)
      findings.items.push_back(ReadingProblem(checked ? Severity::Warning : Severity::Error, file, path.string(), p));
    if (!checked) continue;
    for (const i18n::CheckFinding& c : *checked) {
      if (!c.picture.empty()) {
        findings.items.push_back({c.error ? Severity::Error : Severity::Warning, "translation", c.picture, 0, -1, -1, 0,
                                  0, c.message + " (" + c.rule + ")"});
        continue;
      }
      findings.items.push_back({c.error ? Severity::Error : Severity::Warning, "translation", file, 0, -1, -1,
                                static_cast<int>(c.line), c.line ? 1 : 0,
                                c.context + ": " + c.message + " (" + c.rule + ")"});
    }
  }
}

}  // namespace mokuren::lint
