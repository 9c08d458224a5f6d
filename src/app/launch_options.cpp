#include "app/launch_options.h"

#include <charconv>
#include <filesystem>
#include <string_view>

#include "app/message_quote.h"

namespace mokuren {

const char* UsageText() {
  return "usage: mokuren [GAME_DIR] [options]\n"
         "  GAME_DIR             game directory (default: the executable's directory)\n"
         "  --headless           no window and no sound device; a virtual clock advances 10 ms per pass\n"
         "  --events FILE        play the timed events of FILE\n"
         "  --max-ms N           end the run after N ms of (virtual) time, closing as a confirmed quit would\n"
         "  --record-audio FILE  write the mixed sound output (44100 Hz, 16-bit stereo) to a WAV file\n"
         "  --trace FILE         append one line each time TaskCode changes\n"
         "  --help, --version\n";
}

ParseResult ParseCommandLine(int argc, const char* const* argv) {
  ParseResult r;
  auto& o = r.options;
  bool haveDir = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) {
        r.error = std::string(a) + " needs a value";
        return false;
      }
      out = argv[++i];
      return true;
    };
    if (a == "--headless") {
      o.headless = true;
    } else if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--events") {
      if (!value(o.eventsFile)) return r;
    } else if (a == "--trace") {
      if (!value(o.traceFile)) return r;
    } else if (a == "--record-audio") {
      if (!value(o.recordAudio)) return r;
    } else if (a == "--max-ms") {
      std::string v;
      if (!value(v)) return r;
      uint32_t n = 0;
      auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
      if (ec != std::errc() || p != v.data() + v.size()) {
        r.error = "--max-ms wants a whole number of milliseconds, not " + Quoted(v);
        return r;
      }
      o.maxMs = n;
    } else if (a.starts_with("-")) {
      r.error = "unknown option " + Quoted(a);
      return r;
    } else if (!haveDir) {
      o.gameDir = std::string(a);
      haveDir = true;
    } else {
      r.error = "more than one game directory given: " + Quoted(a);
      return r;
    }
  }
  return r;
}

void ResolveFilesAgainst(LaunchOptions& options, const std::string& dir) {
  for (std::string* file : {&options.eventsFile, &options.traceFile, &options.recordAudio}) {
    if (!file->empty() && std::filesystem::path(*file).is_relative())
      *file = (std::filesystem::path(dir) / *file).string();
  }
}

}  // namespace mokuren
