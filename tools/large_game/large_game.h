// A game of commercial size, made from a seed, to measure the writers' tools where their cost shows: a
// hundred scripts of a story whose chapters branch at their choices and join again, about 64,000 messages
// (a third of them voiced), 500 choices, 2,000 pictures and 20,000 voice files. It is written as a writer's
// sources (scenario/, pictures/, system/, Sound/, VOICE/), which mokuren-build turns into the game; the
// same seed gives the same bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>

namespace mokuren::largegame {

struct GameShape {
  int scripts = 100;  // script 1 (the title and the story's order) and the chapters 2..scripts
  int messages = 63746;
  int choices = 500;
  int pictures = 2000;  // a fifth backgrounds, a tenth event pictures, the rest character canvases
  int voices = 20000;   // voiced messages, each with a file of its own name
  uint32_t seed = 1;
};

// Writes the sources into `dir` (made when missing; files there are replaced), telling each part on
// `progress`. Throws std::runtime_error naming a file that cannot be written.
void WriteLargeGame(const std::filesystem::path& dir, const GameShape& shape, std::ostream& progress);

}  // namespace mokuren::largegame
