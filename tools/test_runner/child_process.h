// Running the game for one test: a child process in a directory of its own, its output in files, ended
// if it outlives a time limit.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace mokuren::testrunner {

struct ChildResult {
  bool started = false;
  bool timedOut = false;
  int exitStatus = -1;  // the status of a normal exit, -1 otherwise
  std::string problem;  // why it did not start or end normally
};

// Runs `program` with `args` in `dir`, with this process's environment and the "NAME=value" entries of
// `environment` (which replace the same names), standard output and error going to the two files. A
// child still running after `limit` is killed.
ChildResult RunChild(const std::filesystem::path& program, const std::vector<std::string>& args,
                     const std::vector<std::string>& environment, const std::filesystem::path& dir,
                     const std::filesystem::path& stdoutFile, const std::filesystem::path& stderrFile,
                     std::chrono::seconds limit);

}  // namespace mokuren::testrunner
