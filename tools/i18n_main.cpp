// mokuren-i18n: the translator's and writer's side of translations: the template of a game's texts, how
// far a translation has come, and whether it fits the screen.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "base/save_block.h"
#include "base/text_codec.h"
#include "graphics/picture_replacements.h"
#include "graphics/png_decoder.h"
#include "i18n/picture_uses.h"
#include "i18n/template_writer.h"
#include "i18n/translation_check.h"
#include "i18n/translation_stats.h"
#include "platform/game_files.h"
#include "text/translation_cache.h"
#include "text/translation_catalog.h"
#include "toolkit/archive_reader.h"
#include "toolkit/scenario_files.h"

namespace fs = std::filesystem;
using namespace mokuren;

namespace {

const char* kUsage =
    "usage: mokuren-i18n extract [--sources DIR] GAME_DIR [-o FILE.pot]\n"
    "       mokuren-i18n extract --engine [-o FILE.pot]\n"
    "       mokuren-i18n init GAME_DIR LANG [-o FILE.po]\n"
    "       mokuren-i18n stats GAME_DIR LANG.po\n"
    "       mokuren-i18n check GAME_DIR LANG.po\n"
    "       mokuren-i18n pictures [--all] GAME_DIR OUT_DIR\n"
    "       mokuren-i18n compile GAME_DIR CACHE_DIR [--as DIR]\n"
    "  extract    write the gettext template of every message, choice, speaker, the title and the hero's\n"
    "             name (to standard output without -o)\n"
    "  --sources DIR  the scenario sources (script N from the file whose name carries N): each text\n"
    "             gets its source line as a reference\n"
    "  --engine   the template of the engine's own texts instead (dialogs, notices, the error list),\n"
    "             which a game's translation may override\n"
    "  init       start a translation into LANG (\"fr\", \"pt_BR\"): GAME_DIR/tl/LANG.po with every text\n"
    "             of the template and none translated, not even copied from the original\n"
    "  stats      count translated, fuzzy, untranslated and obsolete entries per script, for the speakers,\n"
    "             the title and the hero's name, the engine's texts the file gives, and the pictures\n"
    "             replaced\n"
    "  check      lay out every translation as the engine will and report what does not fit, a lost\n"
    "             \"①\", contexts the game does not have, originals the game has changed, originals\n"
    "             copied unchanged, and pictures of tl/LANG of the wrong size or replacing nothing\n"
    "  pictures   write every system picture as OUT_DIR/SYSGRP.DAT/N.png, with OUT_DIR/pictures.txt\n"
    "             saying where each is shown, for redrawing in the translation's language (a picture\n"
    "             put in GAME_DIR/tl/LANG/SYSGRP.DAT at the same size replaces it)\n"
    "  --all      every scenario picture too, as OUT_DIR/GRAPHIC.DAT/NAME.png\n"
    "  compile    read every GAME_DIR/tl/*.po and write its compiled copy into CACHE_DIR, named as the\n"
    "             engine looks it up for the game at DIR (default GAME_DIR): the web build, which cannot\n"
    "             read PO files, reads these\n"
    "exit status: 0 done (check: nothing found), 1 check found warnings only, 2 errors\n";

int Usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "mokuren-i18n: " << problem << '\n';
  std::cerr << kUsage;
  return 2;
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

int ExtractEngine(const std::string& output) {
  std::vector<std::string> problems;
  if (!i18n::WriteEngineTemplate(output, problems)) {
    for (const std::string& p : problems) std::cerr << "mokuren-i18n: " << p << '\n';
    return 2;
  }
  if (output != "-") std::cerr << "mokuren-i18n: the engine's texts written to " << output << '\n';
  return 0;
}

// A language as the engine finds its file: letters, digits, "_", "-" and "@" ("fr", "pt_BR", "sr@latin").
bool LanguageCode(const std::string& language) {
  return !language.empty() && language.find_first_not_of(
                                  "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                  "0123456789_-@") == std::string::npos;
}

int Init(const fs::path& game, const std::string& language, std::string output) {
  if (!LanguageCode(language)) return Usage("\"" + language + "\" is not a language code (\"fr\", \"pt_BR\")");
  if (output.empty()) output = TranslationCatalog::FileFor(game, language).string();
  std::error_code ec;
  if (output != "-" && fs::exists(output, ec)) {
    std::cerr << "mokuren-i18n: " << output
              << " exists already; bring it up to date with msgmerge (docs/translating.md) or remove it first\n";
    return 2;
  }
  if (output != "-") fs::create_directories(fs::path(output).parent_path(), ec);
  const i18n::TranslationGame texts = i18n::ReadTranslationGame(game, {});
  for (const std::string& w : texts.warnings) std::cerr << "mokuren-i18n: warning: " << w << '\n';
  std::vector<std::string> problems;
  if (!i18n::WriteEmptyTranslation(texts, language, output, problems)) {
    for (const std::string& p : problems) std::cerr << "mokuren-i18n: " << p << '\n';
    return 2;
  }
  if (output != "-")
    std::cerr << "mokuren-i18n: " << output << ": " << texts.texts.All().size() << " texts to translate\n";
  return 0;
}

int Stats(const fs::path& game, const fs::path& file) {
  const i18n::TranslationGame texts = i18n::ReadTranslationGame(game, {});
  std::vector<std::string> problems;
  const std::optional<i18n::TranslationStats> stats = i18n::CountTranslationFile(texts, file, problems);
  for (const std::string& p : problems) std::cerr << p << '\n';
  if (!stats) return 2;
  std::cout << i18n::FormatStats(*stats);
  return 0;
}

// Writes `bytes` to `file`; false, reported, when it cannot be written.
bool WriteOut(const fs::path& file, std::string_view bytes) {
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) && out.flush()) return true;
  std::cerr << "mokuren-i18n: " << file.string() << ": cannot be written\n";
  return false;
}

int Pictures(const fs::path& game, const fs::path& out, bool all) {
  const i18n::TranslationGame texts = i18n::ReadTranslationGame(game, {});
  std::string list =
      "# The pictures of " + (texts.title.empty() ? game.string() : ToUtf8(texts.title)) +
      ", to redraw in a translation's language.\n"
      "# A picture saved at the same size as GAME_DIR/tl/LANG/SYSGRP.DAT/N.png (or GRAPHIC.DAT/NAME.png)\n"
      "# is shown in place of the original when the game is played in LANG; its transparency is the\n"
      "# original's where the file has none.\n";
  int written = 0;
  for (const bool system : {true, false}) {
    if (!system && !all) break;
    const fs::path archiveFile = FindGameFile(game, system ? "SYSGRP.DAT" : "GRAPHIC.DAT");
    std::error_code ec;
    if (!fs::is_regular_file(archiveFile, ec)) continue;
    const toolkit::LoadedArchive archive = toolkit::LoadArchive(archiveFile.string());
    const char* folder = system ? kReplacedSystemFolder : kReplacedGraphicsFolder;
    for (size_t n = 1; n < archive.Count(); ++n) {
      const std::string_view bytes = archive.Entry(n);
      if (bytes.empty()) continue;
      std::string name = std::to_string(n) + ".png";
      std::string use = system ? i18n::SystemPictureUse(static_cast<int32_t>(n)) : "a scenario picture";
      if (!system) {
        name = n - 1 < archive.names.lines.size() ? ReplacementFileName(archive.names.lines[n - 1]) : std::string();
        if (name.empty()) {
          std::cerr << "mokuren-i18n: warning: GRAPHIC.DAT entry " << n
                    << " has no name a file can have; it is left out\n";
          continue;
        }
        if (static_cast<int32_t>(n) >= kCgSeenFirst && static_cast<int32_t>(n) < kCgSeenFirst + kCgSeenCount)
          use = "an event picture (the album shows it too)";
      }
      if (use.empty()) use = "not shown by the engine itself";
      PngImage image;
      std::string error;
      const bool decoded = DecodePng({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, image, error);
      const std::string size =
          decoded ? std::to_string(image.pixels.Width()) + "x" + std::to_string(image.pixels.Height()) : "?";
      if (!WriteOut(out / folder / name, bytes)) return 2;
      ++written;
      char line[64];
      std::snprintf(line, sizeof line, "%-26s %-9s ", (std::string(folder) + "/" + name).c_str(), size.c_str());
      list += line + use + (decoded ? "" : " (not a usable PNG: " + error + ")") + "\n";
    }
  }
  if (!WriteOut(out / "pictures.txt", list)) return 2;
  std::cerr << "mokuren-i18n: " << written << " pictures written to " << out.string() << ", listed in "
            << (out / "pictures.txt").string() << '\n';
  return 0;
}

int Check(const fs::path& game, const fs::path& file) {
  const i18n::TranslationGame texts = i18n::ReadTranslationGame(game, {});
  std::vector<std::string> problems;
  int status = 0;
  const bool read = i18n::CheckTranslationFile(texts, file, problems, [&](const i18n::CheckFinding& f) {
    std::cout << i18n::FormatCheckFinding(file.string(), f, game) << '\n';
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
  std::string output;
  std::string as;
  bool engine = false, all = false;
  try {
    for (size_t i = 1; i < args.size(); ++i) {
      const std::string& arg = args[i];
      if (arg == "--help") {
        std::cout << kUsage;
        return 0;
      } else if ((command == "extract" || command == "init") && arg == "-o" && i + 1 < args.size()) {
        output = args[++i];
      } else if (command == "extract" && arg == "--engine") {
        engine = true;
      } else if (command == "pictures" && arg == "--all") {
        all = true;
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
    if (command == "extract" && engine) {
      if (!operands.empty()) return Usage("extract --engine takes no game folder");
      return ExtractEngine(output.empty() ? "-" : output);
    }
    if (operands.empty() || !fs::is_directory(operands[0]))
      return Usage(operands.empty() ? "no game folder" : operands[0] + " is not a folder");
    if (command == "extract") {
      if (operands.size() != 1) return Usage("extract takes one game folder");
      return Extract(operands[0], sources, output.empty() ? "-" : output);
    }
    if (command == "init") {
      if (operands.size() != 2) return Usage("init takes a game folder and a language");
      return Init(operands[0], operands[1], output);
    }
    if (command == "pictures") {
      if (operands.size() != 2) return Usage("pictures takes a game folder and a folder to write to");
      return Pictures(operands[0], operands[1], all);
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
