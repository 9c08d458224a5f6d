// A headless engine on a temporary game directory, driven pass by pass on the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <sys/types.h>

#include "app/TForm1.h"
#include "platform/headless/headless_platform.h"

namespace mokuren::testing {

// A fresh empty directory under the system's temporary directory, removed at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Writes the smallest playable game into dir: a script 1 that jumps to its own first label forever without
// showing anything, no scenario pictures, and the neutral start-up pictures in SYSGRP.DAT.
void WriteMinimalGame(const std::filesystem::path& dir);

class EngineFixture : public ::testing::Test {
 protected:
  // Creates the engine on dir() with the given events text, runs FormCreate and starts the loop clock.
  // Without a SCRIPT.DAT in the directory, the minimal game is written first. A test may bring its own
  // headless platform (one that watches what the engine asks of it).
  void StartEngine(const std::string& eventsText = {}, uint32_t startTick = 0, LaunchOptions options = {},
                   std::unique_ptr<HeadlessPlatform> platform = nullptr);
  // Runs n passes of the main loop.
  void Passes(int n);
  // Applies one events-file line, given without its time ("save 4"), as if it were due now.
  void Apply(const std::string& line);

  HeadlessPlatform& platform() { return *platform_; }

  TempDir dir_;
  std::unique_ptr<HeadlessPlatform> platform_;
  std::unique_ptr<TForm1> form_;
};

// Runs the real program; returns its exit status. Output goes to the given files when not empty.
int RunProgram(const std::string& args, const std::string& stdoutFile = {}, const std::string& stderrFile = {});
// The same, started in the directory `cwd` (relative files of the events then land there).
int RunProgramIn(const std::filesystem::path& cwd, const std::string& args, const std::string& stdoutFile = {},
                 const std::string& stderrFile = {});
std::string ProgramPath();
// Starts the real program with these arguments and returns at once. WaitForProgram returns its exit
// status, -1 when a signal ended it, or -2 when it was still running after `deadline` (it is then killed).
pid_t StartProgram(const std::vector<std::string>& args);
int WaitForProgram(pid_t pid, std::chrono::milliseconds deadline = std::chrono::seconds(60));
std::string ReadFile(const std::filesystem::path& p);
// Waits until `done` holds, looking every 10 ms; false when it still does not after `deadline`.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline);
void WriteFile(const std::filesystem::path& p, const std::string& bytes);

}  // namespace mokuren::testing
