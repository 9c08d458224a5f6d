// The command line: the game directory, the backend and the automation options.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace mokuren {

struct LaunchOptions {
  std::string gameDir;  // empty: the executable's directory
  bool headless = false;
  std::string eventsFile;
  std::optional<uint32_t> maxMs;
  std::string recordAudio;
  std::string traceFile;
  bool help = false;
  bool version = false;
};

struct ParseResult {
  LaunchOptions options;
  std::string error;  // non-empty: a bad option, reported with exit status 2
};

ParseResult ParseCommandLine(int argc, const char* const* argv);

// Makes the files named on the command line absolute against dir (the directory the program was started
// in), since the engine works in the game directory.
void ResolveFilesAgainst(LaunchOptions& options, const std::string& dir);
const char* UsageText();

}  // namespace mokuren
