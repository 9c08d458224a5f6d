// The events file and the command line come from whoever starts the program. Any bytes must parse into
// events or be refused with a message naming the line, and no argument list may crash the option parser.
// The input is the events file; split at its line ends it is also the command line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/event_script.h"
#include "app/launch_options.h"

using namespace mokuren;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  EventScript events;
  std::string error;
  if (events.Parse(text, error)) {
    if (!error.empty()) std::abort();
    // Each line comes out once, when it falls due; lines with times since start that follow each other
    // come in time order.
    uint64_t now = 0;
    uint32_t last = 0;
    bool lastAbsolute = false;
    size_t taken = 0;
    while (const Event* e = events.Next()) {
      const bool absolute = !e->relative && e->verb != Verb::Wait;
      if (absolute && lastAbsolute && e->ms < last) std::abort();
      const uint64_t due = events.DueMs(*e);
      if (!e->relative && due != e->ms) std::abort();
      now = std::min<uint64_t>(std::max(now, due), UINT32_MAX);
      last = e->ms;
      lastAbsolute = absolute;
      events.Take(static_cast<uint32_t>(now));
      ++taken;
    }
    if (taken != events.events().size()) std::abort();
  } else if (error.empty() || error.size() > 1200) {
    std::abort();  // a refusal names its line and quotes only the start of it
  }
  std::vector<std::string> args{"mokuren"};
  for (size_t at = 0; at <= text.size();) {
    const size_t end = std::min(text.find('\n', at), text.size());
    args.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  ParseResult r = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
  if (!r.error.empty() && r.error.size() > 1200) std::abort();
  ResolveFilesAgainst(r.options, "/tmp");
  return 0;
}
