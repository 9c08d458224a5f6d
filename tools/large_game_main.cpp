// mokuren-large-game: writes the sources of a game of commercial size (tools/large_game), for measuring the
// writers' tools by hand; bench_large_game makes its own in the build folder. Not installed.
#include <cstdlib>
#include <iostream>
#include <string>

#include "large_game/large_game.h"

int main(int argc, char** argv) {
  if (argc != 2 || std::string(argv[1]) == "--help" || argv[1][0] == '-') {
    std::cout << "usage: mokuren-large-game DIR\n"
                 "  writes the sources of a game of 100 scripts, 63,746 messages, 500 choices, 2,000 pictures and\n"
                 "  20,000 voices into DIR, the same on every run; then: mokuren-build DIR\n";
    return argc == 2 && std::string(argv[1]) == "--help" ? 0 : 2;
  }
  try {
    mokuren::largegame::WriteLargeGame(argv[1], {}, std::cout);
  } catch (const std::exception& e) {
    std::cerr << "mokuren-large-game: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
