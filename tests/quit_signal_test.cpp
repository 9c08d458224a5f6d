// Logout, shutdown and Ctrl+C close the game as a confirmed quit would: SAVE.DAT written, status 0.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>

#include "platform/quit_signals.h"
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
    // The trace's first line is written by the first pass, after SAVE.DAT was first written.
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(trace).empty(); }, std::chrono::seconds(20)));
    std::filesystem::remove(dir.path() / "SAVE.DAT");
    kill(pid, c.signal);
    EXPECT_EQ(WaitForProgram(pid, std::chrono::seconds(30)), 0) << strsignal(c.signal);
    std::error_code ec;
    EXPECT_EQ(std::filesystem::file_size(dir.path() / "SAVE.DAT", ec), 407472u) << strsignal(c.signal);
  }
  unsetenv("XDG_RUNTIME_DIR");
}

// Before the main loop runs nobody looks at a recorded request, and start-up may wait in a call that a
// restarted system call never leaves (here: opening a named pipe that nobody writes to).
TEST(QuitSignals, OneSignalEndsAStartUpThatIsBlocked) {
  TempDir dir;
  const std::filesystem::path pipe = dir.path() / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    InstallQuitSignals();
    if (::write(ready[1], "r", 1) != 1) _exit(126);
    ::open(pipe.c_str(), O_RDONLY);
    _exit(0);
  }
  // The handlers are in place before the signal comes, whether or not the child has reached open().
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  ::close(ready[0]);
  ::close(ready[1]);
  kill(pid, SIGTERM);
  int status = 0;
  const bool ended = WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, std::chrono::seconds(20));
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  EXPECT_TRUE(ended);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
}

}  // namespace
}  // namespace mokuren::testing
