#include "support/fuzz_engine.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>

#include "script/script_image.h"
#include "toolkit/archive_writer.h"
#include "toolkit/png_writer.h"
#include "toolkit/scenario_assembler.h"

namespace mokuren::fuzzing {

namespace {

namespace fs = std::filesystem;

// The virtual time one run may take at most: a dialog that nothing answers ends there.
constexpr uint32_t kMaxRunMs = 20000;

// One round of a player's input, repeated every 500 ms: advance, pick the title's first item and each
// choice row, answer any dialog and the name entry, page the log back and forth, hide and show the
// window, open the popup menu and turn the play modes on and off.
const char* const kRound[] = {
    "0 key Enter",        "40 click 200 110",  "80 click 400 160",   "120 dialog ok",      "130 name カザミネ",
    "160 click 400 280",  "200 wheel up",      "240 key PageDown",   "260 key Space",      "300 key Space",
    "320 rclick 300 300", "340 menu menuAuto", "360 click 480 590",  "380 menu menuKSkip", "400 click 400 400",
    "420 key Ctrl",       "440 move 560 590",  "460 menu menuSSkip", "480 click 10 10",
};

std::map<int, std::string> AssembleDemo() {
  std::map<int, std::string> scripts;
  for (const auto& e : fs::directory_iterator(fs::path(MOKUREN_SOURCE_DIR) / "demo" / "scenario")) {
    if (e.path().extension() != ".txt") continue;
    // script1.txt, 02_talk.txt: the first run of digits is the script number, as the demo builder has it.
    const std::string stem = e.path().stem().string();
    const size_t digit = stem.find_first_of("0123456789");
    if (digit == std::string::npos) continue;
    scripts[std::stoi(stem.substr(digit, 5))] =
        toolkit::AssembleScenarioOrThrow(toolkit::ReadWholeFile(e.path()), e.path().string());
  }
  return scripts;
}

const std::map<int, std::string>& Demo() {
  static const std::map<int, std::string> scripts = AssembleDemo();
  return scripts;
}

void WriteScriptArchive(const fs::path& dir, const std::string& script1) {
  const int last = Demo().empty() ? 1 : std::max(1, Demo().rbegin()->first);
  std::vector<toolkit::ArchiveEntry> entries(static_cast<size_t>(last));
  for (int n = 1; n <= last; ++n)
    entries[static_cast<size_t>(n - 1)] = {"script" + std::to_string(n), n == 1 ? script1 : DemoScript(n)};
  toolkit::WriteArchive(dir / "SCRIPT.DAT", entries);
}

void WriteGame(const fs::path& dir) {
  fs::create_directories(dir);
  WriteScriptArchive(dir, DemoScript(1));
  // Every name of the scripts' resource tables as a picture, half transparent so blends do work.
  std::set<std::string> names;
  for (const auto& [n, entry] : Demo()) {
    ScriptImage image;
    std::vector<std::string> problems;
    ParseScriptImage(entry, image, problems);
    const std::string& table = image.tables[static_cast<int>(ScriptTableKind::Resources)].bytes;
    size_t at = 0;
    for (size_t end; (end = table.find("\r\n", at)) != std::string::npos; at = end + 2)
      if (end > at) names.insert(table.substr(at, end - at));
  }
  std::vector<toolkit::ArchiveEntry> graphics;
  uint8_t shade = 40;
  for (const std::string& name : names)
    graphics.push_back({name + ".PNG", toolkit::SolidPng(64, 48, shade += 30, 90, 160, 200)});
  toolkit::WriteArchive(dir / "GRAPHIC.DAT", graphics);
  std::vector<toolkit::ArchiveEntry> system;
  for (int n = 1; n <= 100; ++n)
    system.push_back({"SYS" + std::to_string(n) + ".PNG", toolkit::SolidPng(40 + n, 24 + n % 7, 200, 180, 20, 128)});
  toolkit::WriteArchive(dir / "SYSGRP.DAT", system);
  std::string events;
  for (uint32_t round = 0; round * 500 < kMaxRunMs; ++round)
    for (const char* line : kRound) {
      const std::string text = line;
      const size_t space = text.find(' ');
      events += std::to_string(round * 500 + std::stoul(text.substr(0, space))) + text.substr(space) + "\n";
    }
  toolkit::WriteWholeFile(dir / "events.txt", events);
}

}  // namespace

const fs::path& GameDir() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("mokuren-fuzz-" + std::to_string(getpid()));
    WriteGame(d);
    // libFuzzer ends with exit(), also after a finding, so the folder goes with the process.
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(GameDir(), ec);
    });
    // The engine reports every problem of the random data on standard error; a fuzz run would spend
    // its time writing them. Sanitizer reports go to the descriptor directly and are not affected.
    std::cerr.rdbuf(nullptr);
    return d;
  }();
  return dir;
}

const std::string& FreshSave() {
  static const std::string bytes = [] {
    std::error_code ec;
    fs::remove(GameDir() / "SAVE.DAT", ec);
    { Engine first; }
    return toolkit::ReadWholeFile(GameDir() / "SAVE.DAT");
  }();
  return bytes;
}

const std::string& DemoScript(int number) {
  static const std::string none;
  auto it = Demo().find(number);
  return it == Demo().end() ? none : it->second;
}

void WriteScripts(const std::string& script1) { WriteScriptArchive(GameDir(), script1); }

Engine::Engine() {
  LaunchOptions options;
  options.gameDir = GameDir().string();
  options.headless = true;
  options.eventsFile = (GameDir() / "events.txt").string();
  options.maxMs = kMaxRunMs;
  form_ = std::make_unique<TForm1>(platform_, options);
  platform_.Attach(*form_);
  std::string error;
  // The engine enters its game directory at start (it finds its files by absolute paths after that);
  // the fuzzer's own paths (corpus, findings) may be relative to where it was started.
  const fs::path startDir = fs::current_path();
  const bool started = form_->automation().LoadEvents(error) && form_->FormCreate();
  fs::current_path(startDir);
  if (!started) {
    std::cout << "fuzz engine: the game does not start: " << error << '\n';
    std::abort();
  }
  // Random code may never yield; a pass then stops after this much work instead of a million steps.
  form_->Script().ScriptInstructionBudget = 2000;
  form_->StartLoopClock();
}

Engine::~Engine() { form_->FormDestroy(); }

void Engine::Play(uint32_t ms) {
  while (!form_->Terminated() && form_->ElapsedMs() < ms) form_->IdleEvent();
}

}  // namespace mokuren::fuzzing
