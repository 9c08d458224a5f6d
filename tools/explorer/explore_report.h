// What the explorer found, told as text (for the terminal) and as an HTML page: the paths, what was
// reached and what never was, dead ends and the error-list lines met, each with the choices that led there.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "explorer/game_explorer.h"

namespace mokuren::explorer {

// A message, choice or label of the story that no path reached.
struct Unreached {
  int script = 0;
  int32_t step = 0;
  std::string kind;  // "message", "choice", "label"
  std::string text;
};

// The explorer's figures. The album's scene scripts (101 and up) are the album's, not the story's: they
// are listed apart and count neither as reached nor as missed.
struct ExploreSummary {
  size_t messages = 0, messagesReached = 0;
  size_t choices = 0, choicesReached = 0;
  size_t labels = 0, labelsReached = 0;
  size_t scripts = 0, scriptsReached = 0;
  std::vector<int> scriptsUnreached;
  std::vector<int> albumScripts;
  std::vector<Unreached> unreached;
  size_t endings = 0, merged = 0, deadEnds = 0;
  // Everything was explored and reached, with no dead end, loop or error-list line.
  bool clean = false;
};

ExploreSummary Summarize(const ExploreResult& result);

void WriteTextReport(std::ostream& out, const ExploreResult& result, const ExploreSummary& summary,
                     const std::string& game);
// Throws std::runtime_error naming the file when it cannot be written.
void WriteHtmlReport(const std::filesystem::path& file, const ExploreResult& result, const ExploreSummary& summary,
                     const std::string& game);

}  // namespace mokuren::explorer
