#include "app/launch_options.h"

#include <charconv>
#include <filesystem>
#include <string_view>

#include "app/message_quote.h"
#include "platform/output_file.h"

namespace mokuren {

namespace {

constexpr int kMaxScale = 8;

// The whole text as a number of type T, or false.
template <typename T>
bool ParseWhole(const std::string& text, T& n) {
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  return ec == std::errc() && p == text.data() + text.size();
}

}  // namespace

const char* UsageText() {
  return "usage: mokuren [GAME_DIR] [options]\n"
         "  GAME_DIR             game directory (default: the executable's directory)\n"
         "  --headless           no window and no sound device; a virtual clock advances 10 ms per pass\n"
         "  --events FILE        play the timed events of FILE\n"
         "  --max-ms N           end the run after N ms of (virtual) time, closing as a confirmed quit would\n"
         "  --end-after-events N end the run N ms after the events file's last line was applied\n"
         "  --record-events FILE write the player's clicks, keys, menu items and answers as an events file\n"
         "                       that waits where the game waited for the player\n"
         "  --record-audio FILE  write the mixed sound output (44100 Hz, 16-bit stereo) to a WAV file\n"
         "  --trace FILE         append one line each time TaskCode changes\n"
         "  --text-hook FILE     append every message and choice shown as UTF-8 lines (a named pipe works)\n"
         "  --speak              read messages without a voice aloud (speech-dispatcher)\n"
         "  --lang LL            play the game's translation GAME_DIR/tl/LL.po (ja: the original); without\n"
         "                       it, LANGUAGE or LANG chooses one the game has\n"
         "  --scale N            start the window at N times 800x600 (1-8); it can be resized\n"
         "  --pixel-routines     name the pixel routines in use (scalar, sse2, sse41, avx2) and end\n"
         "  --help, --version\n";
}

bool CheckOutputFiles(const LaunchOptions& options, std::string& error) {
  // Opened as they will be, without cutting anything short: the trace is appended to, and the recording
  // replaces whatever is there only once the engine starts it.
  const std::pair<const std::string*, const char*> files[] = {{&options.traceFile, "the trace file"},
                                                              {&options.recordAudio, "the sound recording"},
                                                              {&options.recordEvents, "the events recording"}};
  // Never waiting: a named pipe that nothing reads is refused here rather than holding start-up.
  for (const auto& [file, what] : files) {
    if (file->empty()) continue;
    OutputFile out;
    std::string problem;
    if (!out.Open(*file, OutputFile::Mode::Append, problem)) {
      error = std::string("cannot open ") + what + " " + *file + ": " + problem;
      return false;
    }
  }
  return true;
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
    } else if (a == "--pixel-routines") {
      o.pixelRoutines = true;
    } else if (a == "--events") {
      if (!value(o.eventsFile)) return r;
    } else if (a == "--trace") {
      if (!value(o.traceFile)) return r;
    } else if (a == "--record-audio") {
      if (!value(o.recordAudio)) return r;
    } else if (a == "--record-events") {
      if (!value(o.recordEvents)) return r;
    } else if (a == "--end-after-events") {
      std::string v;
      if (!value(v)) return r;
      uint32_t n = 0;
      if (!ParseWhole(v, n)) {
        r.error = "--end-after-events wants a whole number of milliseconds, not " + Quoted(v);
        return r;
      }
      o.endAfterEventsMs = n;
    } else if (a == "--text-hook") {
      if (!value(o.textHook)) return r;
    } else if (a == "--lang") {
      if (!value(o.lang)) return r;
      if (o.lang.empty() || o.lang.find_first_of("/\\") != std::string::npos || o.lang.starts_with(".")) {
        r.error = "--lang wants a language code such as en or pt_BR, not " + Quoted(o.lang);
        return r;
      }
    } else if (a == "--speak") {
      o.speak = true;
    } else if (a == "--scale") {
      std::string v;
      if (!value(v)) return r;
      int n = 0;
      if (!ParseWhole(v, n) || n < 1 || n > kMaxScale) {
        r.error = "--scale wants a whole number from 1 to " + std::to_string(kMaxScale) + ", not " + Quoted(v);
        return r;
      }
      o.scale = n;
      o.scaleGiven = true;
    } else if (a == "--max-ms") {
      std::string v;
      if (!value(v)) return r;
      uint32_t n = 0;
      if (!ParseWhole(v, n)) {
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
  for (std::string* file :
       {&options.eventsFile, &options.traceFile, &options.recordAudio, &options.textHook, &options.recordEvents}) {
    if (!file->empty() && std::filesystem::path(*file).is_relative())
      *file = (std::filesystem::path(dir) / *file).string();
  }
}

}  // namespace mokuren
