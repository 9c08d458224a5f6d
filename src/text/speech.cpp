#include "text/speech.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "base/text_codec.h"

extern char** environ;

namespace mokuren {

namespace {

constexpr const char* kClient = "spd-say";

// The client's full path when it is on PATH.
std::string FindOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (size_t start = 0; start <= dirs.size();) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = dirs.substr(start, end - start);
    const std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

}  // namespace

Speech::~Speech() { Stop(); }

bool Speech::Start(std::string& error) {
  const std::string client = FindOnPath(kClient);
  if (client.empty()) {
    error = "speech-dispatcher is not installed (no spd-say on PATH); messages are not read aloud";
    return false;
  }
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    error = std::string("cannot start spd-say: ") + std::strerror(errno);
    return false;
  }
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_adddup2(&files, fds[0], STDIN_FILENO);
  posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // Its own process group, so Ctrl+C in the terminal leaves it to end when its input closes; and the
  // game's ignored SIGPIPE is not handed down.
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
  // Pipe mode: every line read from standard input is spoken, at the priority that lets the next one
  // replace it.
  std::vector<char*> argv;
  for (const char* a : {kClient, "--pipe-mode", "--language", "ja", "--application-name", "mokuren"})
    argv.push_back(const_cast<char*>(a));
  argv.push_back(nullptr);
  const int rc = posix_spawn(&pid_, client.c_str(), &files, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attr);
  ::close(fds[0]);
  if (rc != 0) {
    ::close(fds[1]);
    pid_ = -1;
    error = std::string("cannot start spd-say: ") + std::strerror(rc);
    return false;
  }
  // A client that is slow to read never holds the game up.
  ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
  pipe_ = fds[1];
  return true;
}

bool Speech::Say(std::u16string_view line) {
  if (pipe_ < 0) return false;
  std::string bytes = ToUtf8(line);
  // One line is one utterance: line breaks inside it would split it.
  for (char& c : bytes)
    if (c == '\n' || c == '\r') c = ' ';
  bytes += '\n';
  ssize_t n;
  do {
    n = ::write(pipe_, bytes.data(), bytes.size());
  } while (n < 0 && errno == EINTR);
  if (n < 0 && errno == EPIPE) {
    Stop();
    return false;
  }
  return true;
}

void Speech::Stop() {
  if (pipe_ >= 0) ::close(pipe_);
  pipe_ = -1;
  // The client ends by itself once its input is closed; it is collected if it already has.
  if (pid_ > 0) ::waitpid(pid_, nullptr, WNOHANG);
  pid_ = -1;
}

}  // namespace mokuren
