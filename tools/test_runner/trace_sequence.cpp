#include "test_runner/trace_sequence.h"

#include <algorithm>
#include <sstream>

namespace mokuren::testrunner {

std::vector<TraceLine> ParseTrace(const std::string& text) {
  std::vector<TraceLine> out;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream fields(line);
    for (std::string field; fields >> field;)
      if (field.compare(0, 3, "TC=") == 0) out.push_back({field.substr(3), line});
  }
  return out;
}

std::string CompareTraces(const std::vector<TraceLine>& golden, const std::vector<TraceLine>& actual) {
  size_t i = 0;
  while (i < golden.size() && i < actual.size() && golden[i].taskCode == actual[i].taskCode) ++i;
  if (i == golden.size() && i == actual.size()) return {};
  auto around = [i](const std::vector<TraceLine>& trace) {
    std::string out;
    for (size_t k = i >= 2 ? i - 2 : 0; k < std::min(trace.size(), i + 3); ++k)
      out += (k == i ? "  > " : "    ") + trace[k].line + "\n";
    if (i >= trace.size()) out += "  > (the trace ends here)\n";
    return out;
  };
  return "the TaskCode sequence parts at change " + std::to_string(i + 1) + " (of " + std::to_string(golden.size()) +
         " in the golden trace, " + std::to_string(actual.size()) + " in this run)\ngolden:\n" + around(golden) +
         "this run:\n" + around(actual);
}

}  // namespace mokuren::testrunner
