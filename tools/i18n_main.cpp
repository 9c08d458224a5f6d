// mokuren-i18n: the translator's and writer's side of translations: the template of a game's texts, how
// far a translation has come, and whether it fits the screen.
#include <filesystem>
#include <iostream>

#include "i18n/template_writer.h"
#include "i18n/translation_check.h"
#include "i18n/translation_stats.h"
#include "text/translation_cache.h"
#include "text/translation_catalog.h"
#include "toolkit/scenario_files.h"

namespace fs = std::filesystem;
using namespace mokuren;

namespace {

const char* kUsage =
    "usage: mokuren-i18n extract [--sources DIR] GAME_DIR [-o FILE.pot]\n"
    "       mokuren-i18n stats GAME_DIR LANG.po\n"
    "       mokuren-i18n check GAME_DIR LANG.po\n"
    "       mokuren-i18n compile GAME_DIR CACHE_DIR [--as DIR]\n"
    "  extract    write the gettext template of every message, choice, speaker, the title and the\n"
    "             engine's texts (to standard output without -o)\n"
    "  --sources DIR  the scenario sources (script N from the file whose name carries N): each text\n"
    "             gets its source line as a reference\n"
    "  stats      count translated, fuzzy, untranslated and obsolete entries per script\n"
    "  check      lay out every translation as the engine will and report what does not fit, a lost\n"
    "             \"①\", contexts the game does not have and originals the game has changed\n"
    "  compile    read every GAME_DIR/tl/*.po and write its compiled copy into CACHE_DIR, named as the\n"
    "             engine looks it up for the game at DIR (default GAME_DIR): the web build, which cannot\n"
    "             read PO files, reads these\n"
    "exit status: 0 done (check: nothing found), 1 check found warnings only, 2 errors\n";

int Usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "mokuren-i18n: " << problem << '\n';
  std::cerr << kUsage;
  return 2;
}

// The PO file, or nothing after its problems are printed.
std::optional<PoFile> ReadOrReport(const fs::path& file) {
  std::vector<std::string> problems;
  std::optional<PoFile> po = ReadPoFile(file, problems);
  for (const std::string& p : problems) std::cerr << p << '\n';
  return po;
}

int Extract(const fs::path& game, const std::map<int, fs::path>& sources, const std::string& output) {
  const i18n::TranslationGame texts = i18n::ReadTranslationGame(game, sources);
  for (const std::string& w : texts.warnings) std::cerr << "mokuren-i18n: warning: " << w << '\n';
  std::vector<std::string> problems;
  if (!i18n::WriteTemplate(texts, output, problems)) {
    for (const std::string& p : problems) std::cerr << "mokuren-i18n: " << p << '\n';
    return 2;
  }
  if (output != "-")
    std::cerr << "mokuren-i18n: " << texts.texts.All().size() << " texts written to " << output << '\n';
  return 0;
}

int Stats(const fs::path& game, const fs::path& file) {
  const i18n::TranslationGame texts = i18n::ReadTranslationGame(game, {});
  const std::optional<PoFile> po = ReadOrReport(file);
  if (!po) return 2;
  std::cout << i18n::FormatCounts(i18n::CountTranslations(texts, *po));
  return 0;
}

int Check(const fs::path& game, const fs::path& file) {
  const i18n::TranslationGame texts = i18n::ReadTranslationGame(game, {});
  std::vector<std::string> problems;
  int status = 0;
  const bool read = i18n::CheckTranslationFile(texts, file, problems, [&](const i18n::CheckFinding& f) {
    std::cout << i18n::FormatCheckFinding(file.string(), f) << '\n';
    status = std::max(status, f.error ? 2 : 1);
  });
  for (const std::string& p : problems) std::cerr << p << '\n';
  return read ? status : 2;
}

// Each translation's compiled copy, named for the game folder `as` (where the page mounts the game), so
// that the engine there finds it without reading the PO file with libgettextpo.
int Compile(const fs::path& game, const fs::path& cacheDir, const fs::path& as) {
  std::error_code ec;
  const fs::path scratch = cacheDir / ".compiling";
  fs::create_directories(scratch, ec);
  int status = 0, count = 0;
  for (const fs::directory_entry& e : fs::directory_iterator(game / "tl", ec)) {
    if (e.path().extension() != ".po") continue;
    std::vector<std::string> problems;
    TranslationCatalog catalog;
    const bool loaded = catalog.Load(e.path(), problems, scratch);
    for (const std::string& p : problems) std::cerr << p << '\n';
    const fs::path made = TranslationCacheFile(scratch, e.path());
    const fs::path target = TranslationCacheFile(cacheDir, as / "tl" / e.path().filename());
    if (!loaded || !fs::is_regular_file(made, ec)) {
      std::cerr << "mokuren-i18n: " << e.path().string() << ": no compiled copy made\n";
      status = 2;
      continue;
    }
    fs::rename(made, target, ec);
    if (ec) {
      std::cerr << "mokuren-i18n: " << target.string() << ": cannot be written (" << ec.message() << ")\n";
      status = 2;
      continue;
    }
    std::cerr << "mokuren-i18n: " << e.path().string() << " (" << catalog.Size() << " entries) -> " << target.string()
              << '\n';
    ++count;
  }
  fs::remove_all(scratch, ec);
  if (count == 0 && status == 0) std::cerr << "mokuren-i18n: " << (game / "tl").string() << ": no PO files\n";
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage("");
  if (args[0] == "--help" || args[0] == "-h") {
    std::cout << kUsage;
    return 0;
  }
  const std::string command = args[0];
  std::vector<std::string> operands;
  std::map<int, fs::path> sources;
  std::string output = "-";
  std::string as;
  try {
    for (size_t i = 1; i < args.size(); ++i) {
      const std::string& arg = args[i];
      if (arg == "--help") {
        std::cout << kUsage;
        return 0;
      } else if (command == "extract" && arg == "-o" && i + 1 < args.size()) {
        output = args[++i];
      } else if (command == "extract" && arg == "--sources" && i + 1 < args.size()) {
        sources = toolkit::FindScenarioSources(args[++i]);
      } else if (command == "compile" && arg == "--as" && i + 1 < args.size()) {
        as = args[++i];
      } else if (arg.size() > 1 && arg[0] == '-') {
        return Usage("unknown option " + arg);
      } else {
        operands.push_back(arg);
      }
    }
    if (operands.empty() || !fs::is_directory(operands[0]))
      return Usage(operands.empty() ? "no game folder" : operands[0] + " is not a folder");
    if (command == "extract") {
      if (operands.size() != 1) return Usage("extract takes one game folder");
      return Extract(operands[0], sources, output);
    }
    if (command == "compile") {
      if (operands.size() != 2) return Usage("compile takes a game folder and a cache folder");
      return Compile(operands[0], operands[1], as.empty() ? fs::absolute(operands[0]) : fs::path(as));
    }
    if (command != "stats" && command != "check") return Usage("unknown command " + command);
    if (operands.size() != 2) return Usage(command + " takes a game folder and a PO file");
    return command == "stats" ? Stats(operands[0], operands[1]) : Check(operands[0], operands[1]);
  } catch (const std::exception& e) {
    std::cerr << "mokuren-i18n: " << e.what() << '\n';
    return 2;
  }
}
