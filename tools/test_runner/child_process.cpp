#include "test_runner/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace mokuren::testrunner {

ChildResult RunChild(const std::filesystem::path& program, const std::vector<std::string>& args,
                     const std::vector<std::string>& environment, const std::filesystem::path& dir,
                     const std::filesystem::path& stdoutFile, const std::filesystem::path& stderrFile,
                     std::chrono::seconds limit) {
  ChildResult result;
  // Everything the child needs is prepared before the fork: between fork and exec a child of a
  // threaded process may only make async-signal-safe calls.
  const std::string programText = program.string(), dirText = dir.string();
  const std::string outText = stdoutFile.string(), errText = stderrFile.string();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(programText.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> envText = environment;
  for (char** e = environ; *e; ++e) {
    const std::string_view entry(*e);
    const std::string_view name = entry.substr(0, entry.find('=') + 1);
    bool replaced = false;
    for (const std::string& own : environment) replaced = replaced || own.compare(0, name.size(), name) == 0;
    if (!replaced) envText.emplace_back(entry);
  }
  std::vector<char*> envp;
  for (std::string& e : envText) envp.push_back(e.data());
  envp.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) {
    result.problem = std::string("cannot start a process: ") + std::strerror(errno);
    return result;
  }
  if (pid == 0) {
    const int out = open(outText.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int err = open(errText.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0 || err < 0 || chdir(dirText.c_str()) != 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
    execve(programText.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  result.started = true;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) {
      result.problem = std::string("lost the game's process: ") + std::strerror(errno);
      return result;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.timedOut = true;
      result.problem = "the game was still running after " + std::to_string(limit.count()) + " s and was stopped";
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (WIFEXITED(status)) {
    result.exitStatus = WEXITSTATUS(status);
    if (result.exitStatus == 127) result.problem = "cannot run " + programText;
  } else if (WIFSIGNALED(status)) {
    result.problem = std::string("the game ended on signal ") + strsignal(WTERMSIG(status));
  }
  return result;
}

}  // namespace mokuren::testrunner
