// mokuren-demo: builds the demo game directory from the scenario sources and the generated art, sound
// and opening movie. Usage: mokuren-demo DEMO_SOURCE_DIR GAME_DIR
// With --opening it writes only the opening movie, at another size or length if asked (the fuzz corpus
// takes a small one): mokuren-demo --opening FILE [WIDTHxHEIGHT [SECONDS]]
// With --icon it writes the program's icon at one size (the install takes 48, 128 and 256):
// mokuren-demo --icon FILE SIZE
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>

#include "app/game_title.h"
#include "art.h"
#include "icon.h"
#include "opening.h"
#include "sound.h"
#include "toolkit/archive_writer.h"
#include "toolkit/scenario_assembler.h"
#include "toolkit/scenario_files.h"

namespace fs = std::filesystem;
using namespace mokuren;

namespace {

const char* kUsage =
    "usage: mokuren-demo DEMO_SOURCE_DIR GAME_DIR\n"
    "       mokuren-demo --opening FILE [WIDTHxHEIGHT [SECONDS]]\n"
    "       mokuren-demo --icon FILE SIZE\n"
    "       mokuren-demo --full-bleed-icon FILE SIZE\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--help") {
    std::cout << kUsage;
    return 0;
  }
  if (argc >= 3 && argc <= 5 && std::string(argv[1]) == "--opening") {
    demo::OpeningSize size;
    if (argc >= 4 && std::sscanf(argv[3], "%dx%d", &size.width, &size.height) != 2) argc = 0;
    if (argc == 5) size.seconds = std::atof(argv[4]);
    if (argc != 0 && size.width > 0 && size.height > 0 && size.seconds > 0) {
      try {
        demo::MakeOpeningMovie(argv[2], size);
        return 0;
      } catch (const std::exception& e) {
        std::cerr << "mokuren-demo: " << e.what() << '\n';
        return 1;
      }
    }
  }
  if (argc == 4 && (std::string(argv[1]) == "--icon" || std::string(argv[1]) == "--full-bleed-icon")) {
    const int size = std::atoi(argv[3]);
    if (size >= 16 && size <= 1024) {
      try {
        toolkit::WriteWholeFile(argv[2], demo::IconPng(size, std::string(argv[1]) == "--full-bleed-icon"));
        return 0;
      } catch (const std::exception& e) {
        std::cerr << "mokuren-demo: " << e.what() << '\n';
        return 1;
      }
    }
  }
  if (argc != 3) {
    std::cerr << kUsage;
    return 2;
  }
  const fs::path source = argv[1], game = argv[2];
  try {
    fs::create_directories(game);
    const std::map<int, fs::path> sources = toolkit::FindScenarioSources(source / "scenario");
    std::vector<toolkit::ArchiveEntry> scripts(sources.empty() ? 0 : static_cast<size_t>(sources.rbegin()->first));
    bool ok = true;
    for (const auto& [n, path] : sources) {
      std::cout << "  script " << n << " <- " << path.filename().string() << '\n';
      toolkit::AssemblyResult r = toolkit::AssembleScenario(toolkit::ReadWholeFile(path), path.string());
      for (const std::string& err : r.errors) std::cerr << err << '\n';
      ok = ok && r.ok();
      scripts[static_cast<size_t>(n - 1)] = {path.stem().string(), EncodeScriptImage(r.image)};
    }
    if (!ok) return 1;
    toolkit::WriteArchive(game / "SCRIPT.DAT", scripts);
    // The game's title, which names the windows.
    toolkit::WriteWholeFile(game / kGameTitleFile, "木蓮\n");
    std::cout << "  " << kGameTitleFile << ": 木蓮\n";
    std::cout << "  SCRIPT.DAT: " << sources.size() << " scripts\n";
    // The lint's settings for the demo travel with the game, as a writer's do.
    if (const fs::path config = source / "mokuren-lint.toml"; fs::exists(config)) {
      fs::copy_file(config, game / config.filename(), fs::copy_options::overwrite_existing);
      std::cout << "  " << config.filename().string() << '\n';
    }
    // Its translations (tl/LL.po), which `--lang LL` plays.
    if (const fs::path tl = source / "tl"; fs::is_directory(tl)) {
      fs::create_directories(game / "tl");
      for (const fs::directory_entry& po : fs::directory_iterator(tl)) {
        if (po.path().extension() != ".po") continue;
        fs::copy_file(po.path(), game / "tl" / po.path().filename(), fs::copy_options::overwrite_existing);
        std::cout << "  tl/" << po.path().filename().string() << '\n';
      }
    }

    demo::DemoArt art = demo::MakeDemoArt();
    // The event pictures sit at the entry numbers of the album's table; the entries between stay empty.
    std::vector<toolkit::ArchiveEntry> graphics(static_cast<size_t>(art.graphics.rbegin()->first));
    for (const auto& [n, p] : art.graphics) graphics.at(static_cast<size_t>(n - 1)) = {p.name, p.png};
    toolkit::WriteArchive(game / "GRAPHIC.DAT", graphics);
    std::cout << "  GRAPHIC.DAT: " << art.graphics.size() << " pictures\n";
    std::vector<toolkit::ArchiveEntry> sysgrp(art.sysgrp.empty() ? 0 : static_cast<size_t>(art.sysgrp.rbegin()->first));
    for (size_t i = 0; i < sysgrp.size(); ++i) sysgrp[i].name = "SYS" + std::to_string(i + 1) + ".PNG";
    for (const auto& [n, png] : art.sysgrp) sysgrp.at(static_cast<size_t>(n - 1)).bytes = png;
    toolkit::WriteArchive(game / "SYSGRP.DAT", sysgrp);
    std::cout << "  SYSGRP.DAT: " << art.sysgrp.size() << " pictures\n";
    // The translations' own system pictures: those whose words differ from the original's, drawn in
    // the translation's language, where the engine looks for them (tl/LL/SYSGRP.DAT/N.png).
    for (const std::string language : {"en", "ru"}) {
      if (!fs::exists(game / "tl" / (language + ".po"))) continue;
      const fs::path folder = game / "tl" / language / "SYSGRP.DAT";
      fs::remove_all(folder);
      fs::create_directories(folder);
      int replaced = 0;
      for (const auto& [n, png] : demo::MakeSystemArt(demo::DemoTheme(), art.graphics, language)) {
        if (png == art.sysgrp.at(n)) continue;
        toolkit::WriteWholeFile(folder / (std::to_string(n) + ".png"), png);
        ++replaced;
      }
      std::cout << "  tl/" << language << "/SYSGRP.DAT: " << replaced << " pictures\n";
    }

    demo::MakeDemoSounds(game);
    std::cout << "  sounds done\n";
    demo::MakeOpeningMovie(game / "op.ogv");
  } catch (const std::exception& e) {
    std::cerr << "mokuren-demo: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
