// mokuren-new: a new game a writer owns, with sources, neutral system pictures, placeholder music, a
// lint configuration and a test, built and its test's goldens recorded, ready to play.
#include <filesystem>
#include <iostream>
#include <string>

#include <unistd.h>

#include "project/game_build.h"
#include "project/starter_project.h"
#include "test_runner/test_runner.h"

namespace fs = std::filesystem;
using namespace mokuren;

namespace {

const char* kUsage =
    "usage: mokuren-new DIR [--title TITLE]\n"
    "  makes a new game in DIR (a new or empty folder): a title script and a first scene, pictures,\n"
    "  the system pictures with TITLE on the title screen (default: the folder's name), placeholder\n"
    "  music and an effect, an empty album table, a lint configuration and a test with its goldens;\n"
    "  then builds it. Then: mokuren DIR plays it, mokuren-build DIR after an edit, mokuren-lint DIR,\n"
    "  mokuren-test DIR/tests.\n"
    "exit status: 0 made, 1 it could not be made, 2 bad usage\n";

int Usage(const std::string& problem) {
  std::cerr << "mokuren-new: " << problem << '\n' << kUsage;
  return 2;
}

// Plays the game's test once, writing its goldens; false when it could not be run.
bool RecordGoldens(const fs::path& dir) {
  testrunner::RunnerOptions options;
  options.tests = fs::absolute(dir / "tests");
  options.game = fs::absolute(dir);
  options.program = testrunner::FindGameProgram();
  options.update = true;
  if (!fs::exists(options.program)) {
    std::cout << "  the game program mokuren is neither beside mokuren-new nor on the PATH: record the goldens "
                 "later with mokuren-test --update "
              << (dir / "tests").generic_string() << '\n';
    return true;
  }
  options.results = fs::temp_directory_path() / ("mokuren-new-" + std::to_string(::getpid()));
  fs::create_directories(options.results);
  std::cout << "recording the test's goldens (a headless play of tests/first.events)\n" << std::flush;
  const std::vector<testrunner::CaseResult> results = testrunner::RunTests(options, std::cout);
  bool ok = true;
  for (const auto& r : results) ok = ok && !r.Failed();
  std::error_code ec;
  if (ok)
    fs::remove_all(options.results, ec);
  else
    std::cerr << "mokuren-new: the test did not run; its report is " << (options.results / "report.html").string()
              << '\n';
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path dir;
  std::string title;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--title" && i + 1 < argc) {
      title = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage("unknown option or missing value: " + arg);
    } else if (dir.empty()) {
      dir = arg;
    } else {
      return Usage("one folder at a time");
    }
  }
  if (dir.empty()) return Usage("which folder?");
  std::error_code ec;
  if (fs::exists(dir, ec) && (!fs::is_directory(dir, ec) || !fs::is_empty(dir, ec)))
    return Usage(dir.string() + " already holds files; give a new folder");
  if (title.empty()) {
    fs::path name = fs::absolute(dir).lexically_normal();
    if (!name.has_filename()) name = name.parent_path();
    title = name.filename().string();
  }
  if (title.find('\n') != std::string::npos) return Usage("the title is one line");
  try {
    std::cout << "mokuren-new: " << dir.generic_string() << " (" << title << ")\n" << std::flush;
    project::WriteStarterProject(dir, title, std::cout);
    if (!project::BuildGame(dir, std::cout, std::cerr)) return 1;
    if (!RecordGoldens(dir)) return 1;
  } catch (const std::exception& e) {
    std::cerr << "mokuren-new: " << e.what() << '\n';
    return 1;
  }
  const std::string d = dir.generic_string();
  std::cout << "\n"
            << d << " is ready:\n"
            << "  mokuren " << d << "                 play it\n"
            << "  mokuren-build " << d << "           after you edit scenario/, pictures/, system/ or album.txt\n"
            << "  mokuren-lint " << d << "            find the mistakes a player would meet\n"
            << "  mokuren-test " << d << "/tests      play the tests and compare them with their goldens\n";
  return 0;
}
