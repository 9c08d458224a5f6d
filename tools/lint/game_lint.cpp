#include "lint/game_lint.h"

#include <charconv>

#include "lint/game_checks.h"
#include "lint/lint_config.h"
#include "toolkit/archive_writer.h"
#include "toolkit/build_state.h"
#include "toolkit/scenario_assembler.h"

namespace mokuren::lint {

namespace {

// An assembler message "file:line:column: message" as a finding at that place.
Finding SourceFault(const std::string& file, const std::string& error) {
  Finding f{Severity::Error, "source", file, 0, -1, -1, 0, 0, error};
  if (error.compare(0, file.size() + 1, file + ":") != 0) return f;
  const char* p = error.data() + file.size() + 1;
  const char* end = error.data() + error.size();
  auto [afterLine, e1] = std::from_chars(p, end, f.line);
  if (e1 != std::errc() || afterLine == end || *afterLine != ':') return f;
  auto [afterColumn, e2] = std::from_chars(afterLine + 1, end, f.column);
  if (e2 != std::errc() || end - afterColumn < 2) return f;
  f.message = std::string(afterColumn + 2, end);
  return f;
}

using OffByLine = std::map<std::string, std::map<int, std::set<std::string>>>;

// Whether mokuren-build made SCRIPT.DAT as it is from this source as it is: its state file says so.
bool BuiltFrom(const GameData& game, const toolkit::BuildState& built, const std::filesystem::path& source) {
  const auto archive = built.archives.find("SCRIPT.DAT");
  const auto input = built.inputs.find(source.lexically_relative(game.dir).generic_string());
  return archive != built.archives.end() && input != built.inputs.end() &&
         toolkit::StampOf(game.dir / game.scriptFile) == archive->second && toolkit::StampOf(source) == input->second;
}

// Places the findings of each script whose source is given at its lines, and collects the rules its
// "lint: off" comments turn off. A source is compiled to compare it with its script, unless the build's
// state shows SCRIPT.DAT was made from it and no finding of its script needs its lines.
void PlaceInSources(const GameData& game, const std::map<int, std::filesystem::path>& sources, Findings& findings,
                    OffByLine& offByLine) {
  const toolkit::BuildState built = toolkit::ReadBuildState(game.dir);
  std::set<int> placed;
  for (const Finding& f : findings.items)
    if (f.file == game.scriptFile && f.step >= 0) placed.insert(f.script);
  for (const auto& [n, path] : sources) {
    const std::string file = path.string();
    std::string source, error;
    if (!toolkit::ReadWholeFile(path, source, error)) {
      findings.AtFile(Severity::Error, "source", file, error);
      continue;
    }
    offByLine[file] = RulesOffByLine(source, file, findings);
    if (!placed.count(n) && BuiltFrom(game, built, path)) continue;
    const toolkit::AssemblyResult r = toolkit::AssembleScenario(source, file);
    for (const std::string& error : r.errors) findings.items.push_back(SourceFault(file, error));
    if (!r.ok()) continue;
    const std::string_view entry = game.script ? game.script->Entry(static_cast<size_t>(n)) : std::string_view();
    if (EncodeScriptImage(r.image) != entry) {
      findings.AtFile(Severity::Warning, "source-stale", file,
                      "does not match script " + std::to_string(n) + " of " + game.scriptFile +
                          "; build the game again (its findings name SCRIPT.DAT steps)");
      continue;
    }
    for (Finding& f : findings.items) {
      if (f.script != n || f.file != game.scriptFile || f.step < 0 || static_cast<size_t>(f.step) >= r.positions.size())
        continue;
      f.file = file;
      f.line = r.positions[static_cast<size_t>(f.step)].line;
      f.column = r.positions[static_cast<size_t>(f.step)].column;
    }
  }
}

}  // namespace

std::vector<Finding> LintGame(const LintOptions& options) {
  Findings findings;
  const LintConfig config = ReadLintConfig(options.game, findings);
  const GameData game = ReadGame(options.game, findings);
  CheckScripts(game, findings);
  CheckTexts(game, options.quick, findings);
  std::set<int> shown;
  CheckResources(game,
                 options.quick  ? Decoding::None
                 : options.deep ? Decoding::Deep
                                : Decoding::Whole,
                 findings, shown);
  CheckAlbum(game, shown, findings);
  CheckSaveData(game, findings);
  CheckStartup(game, findings);
  CheckTranslations(game, findings);
  // The rules the game turns off are gone before the findings are placed: a source is read whole only
  // for the findings left in it.
  ApplySwitches(config, {}, findings.items);
  OffByLine offByLine;
  PlaceInSources(game, options.sources, findings, offByLine);
  ApplySwitches(config, offByLine, findings.items);
  SortFindings(findings.items);
  return std::move(findings.items);
}

}  // namespace mokuren::lint
