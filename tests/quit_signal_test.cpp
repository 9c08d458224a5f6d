// Logout, shutdown and Ctrl+C close the game as a confirmed quit would: SAVE.DAT written, status 0.
#include <gtest/gtest.h>

#include <csignal>

#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

TEST(QuitSignals, CloseTheRunningGameWithItsSaveWritten) {
  struct Case {
    bool windowed;
    int signal;
  };
  for (Case c : {Case{true, SIGTERM}, Case{false, SIGINT}, Case{false, SIGHUP}}) {
#ifndef MOKUREN_TEST_WINDOWED
    if (c.windowed) continue;
#endif
    TempDir dir;
    WriteMinimalGame(dir.path());
    const std::string trace = (dir.path() / "trace.txt").string();
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    std::vector<std::string> args{dir.path().string(), "--trace", trace};
    if (!c.windowed) args.push_back("--headless");
    const pid_t pid = StartProgram(args);
    // The trace starts with the first pass, after SAVE.DAT was first written.
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(trace); }, std::chrono::seconds(20)));
    std::filesystem::remove(dir.path() / "SAVE.DAT");
    kill(pid, c.signal);
    EXPECT_EQ(WaitForProgram(pid, std::chrono::seconds(30)), 0) << strsignal(c.signal);
    std::error_code ec;
    EXPECT_EQ(std::filesystem::file_size(dir.path() / "SAVE.DAT", ec), 407472u) << strsignal(c.signal);
  }
  unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace mokuren::testing
