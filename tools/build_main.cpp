// mokuren-build: turns a game folder's sources (scenario/, pictures/, system/, album.txt) into its
// archives, in the same folder, in one command.
#include <filesystem>
#include <iostream>
#include <string>

#include "project/game_build.h"

namespace fs = std::filesystem;

namespace {

const char* kUsage =
    "usage: mokuren-build [GAME_DIR]\n"
    "  builds the game in GAME_DIR (default: the current folder) from its sources:\n"
    "    scenario/*.txt   -> SCRIPT.DAT   script N from the file whose name carries N\n"
    "    pictures/*.png   -> GRAPHIC.DAT  by name; album.txt puts pictures in the album's slots\n"
    "    system/N*.png    -> SYSGRP.DAT   entry N, the number the file name starts with\n"
    "  Sound/, VOICE/ and title.txt are used where they are. Nothing is written when a source is wrong;\n"
    "  each mistake is told as FILE[:LINE[:COLUMN]]: message.\n"
    "exit status: 0 built, 1 a source is wrong, 2 bad usage\n";

}  // namespace

int main(int argc, char** argv) {
  fs::path dir = ".";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help") {
      std::cout << kUsage;
      return 0;
    }
    if (i > 1 || (!arg.empty() && arg[0] == '-')) {
      std::cerr << "mokuren-build: " << (arg[0] == '-' ? "unknown option " + arg : "one game folder at a time") << '\n'
                << kUsage;
      return 2;
    }
    dir = arg;
  }
  if (!fs::is_directory(dir)) {
    std::cerr << "mokuren-build: " << dir.string() << " is not a folder (mokuren-new makes a new game)\n";
    return 2;
  }
  return mokuren::project::BuildGame(dir, std::cout, std::cerr) ? 0 : 1;
}
