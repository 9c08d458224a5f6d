// Comparing traces by what the game did, not when: the sequence of TaskCode values the trace lines
// record ("<ms> TC=<hex> NO=<script> ST=<step>"), so a test survives a message typed a frame faster but
// not a scene that went another way.
#pragma once

#include <string>
#include <vector>

namespace mokuren::testrunner {

struct TraceLine {
  std::string taskCode;  // as written, "6001"
  std::string line;      // the whole line, to show
};

std::vector<TraceLine> ParseTrace(const std::string& text);

// Empty when both traces pass through the same TaskCode values in the same order; otherwise where they
// part, with the lines around it.
std::string CompareTraces(const std::vector<TraceLine>& golden, const std::vector<TraceLine>& actual);

}  // namespace mokuren::testrunner
