#include "test_runner/test_case.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "app/event_script.h"
#include "toolkit/archive_writer.h"

namespace fs = std::filesystem;

namespace mokuren::testrunner {

namespace {

constexpr std::string_view kHeader = "# mokuren-test:";
constexpr uint32_t kRunOn = 500;  // ms the run goes on after its last event, so that event is taken

bool Number(std::string_view s, int& out) {
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size() && out >= 0;
}

// One "KEY=VALUE" of a header line.
std::string ApplySetting(const std::string& pair, TestSettings& s) {
  const size_t eq = pair.find('=');
  const std::string key = pair.substr(0, eq), value = eq == std::string::npos ? "" : pair.substr(eq + 1);
  int n = 0;
  if (key == "tolerance" && Number(value, n) && n <= 255) {
    s.tolerance = n;
  } else if (key == "pixels" && Number(value, n)) {
    s.pixelsAllowed = n;
  } else if (key == "max-ms" && Number(value, n) && n > 0) {
    s.maxMs = static_cast<uint32_t>(n);
  } else if (key == "lang" && !value.empty() && value.find_first_of("/\\ ") == std::string::npos) {
    s.lang = value;
  } else if ((key == "sound" || key == "trace") && (value == "on" || value == "off")) {
    (key == "sound" ? s.sound : s.trace) = value == "on";
  } else {
    return "'" + pair + "' is not a setting (tolerance=0-255, pixels=N, max-ms=N, sound=on|off, trace=on|off, lang=LL)";
  }
  return {};
}

bool InsideFolder(const std::string& file) {
  const fs::path p(file);
  if (p.is_absolute() || p.extension() != ".png") return false;
  for (const fs::path& part : p)
    if (part == "..") return false;
  return true;
}

}  // namespace

bool LoadTestCase(const fs::path& events, TestCase& test, std::string& error) {
  test = TestCase{};
  test.events = events;
  test.name = events.stem().string();
  std::string text;
  if (!toolkit::ReadWholeFile(events, text, error)) return false;
  EventScript script;
  if (!script.Parse(text, error)) {
    error = events.string() + ": " + error;
    return false;
  }
  std::istringstream lines(text);
  int lineNo = 0;
  for (std::string line; std::getline(lines, line);) {
    ++lineNo;
    if (line.compare(0, kHeader.size(), kHeader) != 0) continue;
    std::istringstream pairs(line.substr(kHeader.size()));
    for (std::string pair; pairs >> pair;) {
      if (std::string problem = ApplySetting(pair, test.settings); !problem.empty()) {
        error = events.string() + ":" + std::to_string(lineNo) + ": " + problem;
        return false;
      }
    }
  }
  // The latest a line can come: waits may each take their whole timeout.
  uint64_t last = 0;
  for (const Event& e : script.events()) {
    if (e.relative || e.verb == Verb::Wait) test.waits = true;
    if (e.verb == Verb::Wait) {
      last += e.ms + e.timeoutMs;
    } else {
      last = e.relative ? last + e.ms : std::max<uint64_t>(last, e.ms);
    }
    if (e.verb != Verb::Screenshot && e.verb != Verb::ScreenshotFloat && e.verb != Verb::ScreenshotSaveLoad) continue;
    if (!InsideFolder(e.text)) {
      error = events.string() + ":" + std::to_string(e.line) + ": the screenshot '" + e.text +
              "' must be a .png file named relative to the test folder, inside it";
      return false;
    }
    test.screenshots.push_back(e.text);
  }
  if (test.settings.maxMs == 0)
    test.settings.maxMs = static_cast<uint32_t>(std::min<uint64_t>(last + kRunOn, UINT32_MAX));
  test.runOnMs = kRunOn;
  return true;
}

}  // namespace mokuren::testrunner
