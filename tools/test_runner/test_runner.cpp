#include "test_runner/test_runner.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "base/text_codec.h"
#include "graphics/png_writer.h"
#include "platform/game_files.h"
#include "test_runner/child_process.h"
#include "test_runner/golden_picture.h"
#include "test_runner/html_report.h"
#include "test_runner/sound_summary.h"
#include "test_runner/test_case.h"
#include "test_runner/trace_sequence.h"
#include "toolkit/archive_writer.h"
#include "toolkit/parallel_jobs.h"

namespace fs = std::filesystem;

namespace mokuren::testrunner {

namespace {

// The game as a test sees it: every file and folder of the game linked in, except what a run writes or
// what would make it depend on earlier play (saved games, thumbnails, the instance lock).
void LinkGame(const fs::path& game, const fs::path& link) {
  fs::create_directories(link);
  for (const auto& e : fs::directory_iterator(game)) {
    const std::u16string name = UpperCase(FromUtf8(e.path().filename().string()));
    if (name == u"THUMB" || name.rfind(u"SAVE.DAT", 0) == 0 || name == u"MOKUREN.LOCK") continue;
    fs::create_symlink(fs::absolute(e.path()), link / e.path().filename());
  }
}

std::string Tail(const std::string& text, size_t lines) {
  size_t at = text.size();
  for (size_t n = 0; n <= lines && at > 0; ++n) at = text.rfind('\n', at - 1);
  return at == std::string::npos ? text : text.substr(at + 1);
}

std::string ReadIfThere(const fs::path& file) {
  std::string bytes, error;
  return toolkit::ReadWholeFile(file, bytes, error) ? bytes : std::string();
}

class CaseRun {
 public:
  CaseRun(const RunnerOptions& options, const fs::path& events) : options_(options), events_(events) {}

  CaseResult Run() {
    const auto start = std::chrono::steady_clock::now();
    result_.name = events_.stem().string();
    std::string error;
    if (!LoadTestCase(events_, test_, error)) {
      Fail(events_.filename().string(), error);
    } else if (Play()) {
      for (const std::string& shot : test_.screenshots) CheckScreenshot(shot);
      if (test_.settings.sound) CheckSound();
      if (test_.settings.trace) CheckTrace();
    }
    result_.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return std::move(result_);
  }

 private:
  void Fail(std::string what, std::string detail, std::string picture = {}) {
    result_.checks.push_back({std::move(what), Outcome::Failed, std::move(detail), std::move(picture)});
  }
  void Pass(std::string what, std::string detail = {}) {
    result_.checks.push_back({std::move(what), Outcome::Passed, std::move(detail), {}});
  }
  // A golden that differs: rewritten when asked, a failure otherwise.
  void Differs(const std::string& what, const std::string& detail, const fs::path& golden, const std::string& bytes,
               std::string picture = {}) {
    if (!options_.update) {
      Fail(what, detail, std::move(picture));
      return;
    }
    Write(golden, bytes);
    result_.checks.push_back({what, Outcome::Updated, detail + "; the golden is rewritten", std::move(picture)});
  }
  // A golden that is not there yet: written when asked, a failure that says how otherwise.
  void NoGolden(const std::string& what, const fs::path& golden, const std::string& bytes, std::string picture = {}) {
    if (!options_.update) {
      Fail(what, "no golden yet: look at this run's, then mokuren-test --update writes it", std::move(picture));
      return;
    }
    Write(golden, bytes);
    result_.checks.push_back({what, Outcome::Updated, "no golden yet: written", std::move(picture)});
  }
  static void Write(const fs::path& golden, const std::string& bytes) {
    fs::create_directories(golden.parent_path());
    toolkit::WriteWholeFile(golden, bytes);
  }
  std::string Shown(const fs::path& file) const { return fs::relative(file, options_.results).generic_string(); }

  bool Play() {
    work_ = options_.results / result_.name;
    fs::remove_all(work_);
    fs::create_directories(work_);
    LinkGame(options_.game, work_ / "game");
    std::vector<std::string> args = {(work_ / "game").string(), "--headless", "--events",
                                     fs::absolute(events_).string(), "--trace", "trace.txt", "--record-audio",
                                     "sound.wav", "--max-ms", std::to_string(test_.settings.maxMs),
                                     // The same language whatever the machine's LANG says.
                                     "--lang", test_.settings.lang};
    if (test_.waits) {
      args.push_back("--end-after-events");
      args.push_back(std::to_string(test_.runOnMs));
    }
    // The run keeps whatever it stores per user in its own folder too.
    const std::vector<std::string> environment = {"XDG_DATA_HOME=" + (work_ / "data").string()};
    const ChildResult run = RunChild(options_.program, args, environment, work_, work_ / "output.txt",
                                     work_ / "errors.txt", options_.timeout);
    result_.gameOutput = ReadIfThere(work_ / "errors.txt");
    if (run.started && run.problem.empty() && run.exitStatus == 0) return true;
    std::string detail =
        !run.problem.empty() ? run.problem : "the game ended with status " + std::to_string(run.exitStatus);
    if (!result_.gameOutput.empty()) detail += ":\n" + Tail(result_.gameOutput, 10);
    Fail("the run", detail);
    return false;
  }

  void CheckScreenshot(const std::string& shot) {
    const fs::path actualFile = work_ / shot, goldenFile = test_.Dir() / shot;
    TABitmap actual, golden;
    std::string error;
    if (!ReadPicture(actualFile, actual, error)) {
      Fail(shot, "the game wrote no screenshot here (" + error + ")");
      return;
    }
    if (!fs::exists(goldenFile)) {
      NoGolden(shot, goldenFile, ReadIfThere(actualFile), Shown(actualFile));
      return;
    }
    if (!ReadPicture(goldenFile, golden, error)) {
      Differs(shot, "the golden picture does not decode: " + error, goldenFile, ReadIfThere(actualFile),
              Shown(actualFile));
      return;
    }
    const int64_t off = PixelsOff(golden, actual, test_.settings.tolerance);
    if (off >= 0 && off <= test_.settings.pixelsAllowed) {
      Pass(shot, std::to_string(off) + " pixels off");
      return;
    }
    const fs::path diffFile = work_ / (shot + ".diff.png");
    WritePngFile(diffFile, DifferencePicture(golden, actual, test_.settings.tolerance), PngAlpha::None, error);
    const std::string detail =
        off < 0 ? "the picture is " + std::to_string(actual.Width()) + "x" + std::to_string(actual.Height()) +
                      ", the golden one " + std::to_string(golden.Width()) + "x" + std::to_string(golden.Height())
                : std::to_string(off) + " pixels differ by more than " + std::to_string(test_.settings.tolerance) +
                      " (" + std::to_string(test_.settings.pixelsAllowed) + " may)";
    Differs(shot, detail, goldenFile, ReadIfThere(actualFile), Shown(diffFile));
  }

  void CheckSound() {
    const std::string what = result_.name + ".sound";
    const fs::path goldenFile = test_.Dir() / what;
    toolkit::WavSamples wav;
    std::string error;
    if (!toolkit::ParseWav(ReadIfThere(work_ / "sound.wav"), wav, error)) {
      Fail(what, "the recorded sound cannot be read: " + error);
      return;
    }
    SoundSummary actual = SummariseSound(wav), golden;
    const bool hasGolden = fs::exists(goldenFile);
    if (hasGolden && !ParseSoundSummary(ReadIfThere(goldenFile), golden, error)) {
      Fail(what, goldenFile.string() + ": " + error);
      return;
    }
    // The golden's tolerances stay when it is rewritten.
    actual.levelTolerance = golden.levelTolerance;
    actual.pitchTolerance = golden.pitchTolerance;
    const std::vector<std::string> differences = hasGolden ? CompareSound(golden, actual) : std::vector<std::string>{};
    if (hasGolden && differences.empty()) {
      Pass(what, std::to_string(actual.seconds.size()) + " s alike");
      return;
    }
    if (!hasGolden) {
      NoGolden(what, goldenFile, FormatSoundSummary(actual));
      return;
    }
    std::string detail = "the sound differs:";
    for (const std::string& d : differences) detail += "\n" + d;
    Differs(what, detail, goldenFile, FormatSoundSummary(actual));
  }

  void CheckTrace() {
    const std::string what = result_.name + ".trace";
    const fs::path goldenFile = test_.Dir() / what;
    const std::string text = ReadIfThere(work_ / "trace.txt");
    if (!fs::exists(goldenFile)) {
      NoGolden(what, goldenFile, text);
      return;
    }
    const std::vector<TraceLine> golden = ParseTrace(ReadIfThere(goldenFile)), actual = ParseTrace(text);
    if (std::string difference = CompareTraces(golden, actual); !difference.empty())
      Differs(what, difference, goldenFile, text);
    else
      Pass(what, std::to_string(actual.size()) + " TaskCode changes alike");
  }

  const RunnerOptions& options_;
  const fs::path events_;
  TestCase test_;
  CaseResult result_;
  fs::path work_;
};

}  // namespace

std::string FormatDetail(const CheckResult& check, size_t mostLines) {
  // The detail's first line follows the check's name; the lines after it (what differs, what the game
  // said) are indented under it, so that the console names what differs without the report.
  std::string text = "      " + check.what + ": ";
  size_t at = 0, lines = 0;
  while (at <= check.detail.size()) {
    size_t end = check.detail.find('\n', at);
    if (end == std::string::npos) end = check.detail.size();
    if (lines == mostLines) {
      text += "        … (the report has the rest)\n";
      break;
    }
    text += (lines == 0 ? "" : "        ") + check.detail.substr(at, end - at) + "\n";
    ++lines;
    at = end + 1;
  }
  return text;
}

bool CaseResult::Failed() const {
  return std::any_of(checks.begin(), checks.end(), [](const CheckResult& c) { return c.outcome == Outcome::Failed; });
}

fs::path FindGameProgram() {
  const fs::path beside = ExecutableDirectory() / "mokuren";
  if (fs::exists(beside)) return beside;
  if (const char* path = std::getenv("PATH")) {
    for (std::string_view rest = path; !rest.empty();) {
      const size_t colon = rest.find(':');
      const fs::path candidate = fs::path(rest.substr(0, colon)) / "mokuren";
      if (!candidate.parent_path().empty() && fs::exists(candidate)) return candidate;
      rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
  }
  return beside;
}

std::vector<fs::path> FindTests(const fs::path& folder) {
  std::vector<fs::path> tests;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.is_regular_file() && e.path().extension() == ".events") tests.push_back(e.path());
  std::sort(tests.begin(), tests.end());
  return tests;
}

std::vector<CaseResult> RunTests(const RunnerOptions& options, std::ostream& progress) {
  const std::vector<fs::path> tests = FindTests(options.tests);
  std::vector<CaseResult> results(tests.size());
  std::mutex lock;
  size_t done = 0;
  std::vector<std::function<void()>> jobs;
  for (size_t i = 0; i < tests.size(); ++i) {
    jobs.push_back([&, i] {
      try {
        results[i] = CaseRun(options, tests[i]).Run();
      } catch (const std::exception& e) {
        results[i].name = tests[i].stem().string();
        results[i].checks.push_back({"the run", Outcome::Failed, e.what(), {}});
      }
      std::lock_guard guard(lock);
      const CaseResult& r = results[i];
      const bool updated = std::any_of(r.checks.begin(), r.checks.end(),
                                       [](const CheckResult& c) { return c.outcome == Outcome::Updated; });
      char seconds[32];
      std::snprintf(seconds, sizeof seconds, "%.1f s", r.seconds);
      progress << "[" << ++done << "/" << tests.size() << "] "
               << (r.Failed() ? "FAIL "
                   : updated  ? "UPDATED "
                              : "ok   ")
               << r.name << " (" << seconds << ")\n";
      for (const CheckResult& c : r.checks)
        if (c.outcome != Outcome::Passed) progress << FormatDetail(c);
      progress.flush();
    });
  }
  toolkit::RunParallel(jobs, options.jobs);
  WriteHtmlReport(options.results / "report.html", options, results);
  return results;
}

}  // namespace mokuren::testrunner
