// One test of mokuren-test: an events file, the screenshots it takes, and the settings of its header.
//
// The header is any number of comment lines "# mokuren-test: KEY=VALUE ..." (the game reads them as
// comments): tolerance=N (how far a colour channel may differ, 8 by default), pixels=N (how many
// pixels may differ by more, 16 by default: one wrong glyph changes hundreds), max-ms=N (how long the
// run lasts, by default half a second past the last event; for a file with waits or "+MS" lines, half a
// second past its last line, and at most until every wait had its whole timeout), sound=on|off and trace=on|off
// (whether the recorded sound and the trace are compared).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mokuren::testrunner {

struct TestSettings {
  int tolerance = 8;
  int pixelsAllowed = 16;
  uint32_t maxMs = 0;
  bool sound = true;
  bool trace = true;
  std::string lang = "ja";  // the language the game is played in (--lang); the original by default
};

struct TestCase {
  std::filesystem::path events;  // the events file
  std::string name;              // its stem: the golden sound summary is name.sound, the trace name.trace
  TestSettings settings;
  // Screenshots as the events file names them, relative to the run's directory and to the goldens'.
  std::vector<std::string> screenshots;
  // The file waits for the game or counts times from the line before: the run then ends runOnMs after
  // its last line was applied rather than at a time fixed in advance (max-ms is only its bound).
  bool waits = false;
  uint32_t runOnMs = 0;

  std::filesystem::path Dir() const { return events.parent_path(); }
};

// Reads an events file with the game's own parser. False, with `error` naming the line, for a line the
// game would refuse, a header it does not know, or a screenshot that is not a relative ".png" path
// inside the test folder.
bool LoadTestCase(const std::filesystem::path& events, TestCase& test, std::string& error);

}  // namespace mokuren::testrunner
