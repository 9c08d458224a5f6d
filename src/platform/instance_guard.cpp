#include "platform/instance_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace mokuren {

namespace {

// FNV-1a of the folder's path: names the lock of one game, whatever its folder is called.
std::string FolderHash(const std::filesystem::path& folder) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : folder.string()) h = (h ^ c) * 1099511628211ull;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

// A local socket's address; false when the path is too long for one.
bool SocketAddress(const std::filesystem::path& path, sockaddr_un& address) {
  address = {};
  address.sun_family = AF_UNIX;
  const std::string& s = path.native();
  if (s.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, s.c_str(), s.size() + 1);
  return true;
}

}  // namespace

InstanceGuard::InstanceGuard(const std::filesystem::path& gameDir, std::filesystem::path runtimeDir) {
  if (runtimeDir.empty()) {
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run) {
      runtimeDir = run;
    } else {
      runtimeDir = "/tmp/mokuren-" + std::to_string(getuid());
      mkdir(runtimeDir.c_str(), 0700);
    }
  }
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::weakly_canonical(gameDir, ec);
  if (ec) folder = gameDir;
  const std::string name = "Mokuren-" + FolderHash(folder);
  lock_ = runtimeDir / (name + ".lock");
  socket_ = runtimeDir / (name + ".sock");
}

InstanceGuard::~InstanceGuard() {
  if (listen_ >= 0) {
    // Removed while the lock is still held, so no later instance's socket is taken away.
    unlink(socket_.c_str());
    close(listen_);
  }
  if (fd_ >= 0) close(fd_);
}

bool InstanceGuard::Acquire() {
  fd_ = open(lock_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) return true;
  sockaddr_un address;
  const bool addressed = SocketAddress(socket_, address);
  if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    // What an instance that crashed left is no one's.
    unlink(socket_.c_str());
    listen_ = addressed ? socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0) : -1;
    if (listen_ >= 0 &&
        (bind(listen_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listen_, 4) != 0)) {
      close(listen_);
      listen_ = -1;
    }
    return true;
  }
  const bool held = errno == EWOULDBLOCK;
  close(fd_);
  fd_ = -1;
  if (!held) return true;
  // The running instance notices the connection itself; nothing needs to be said on it.
  if (const int s = addressed ? socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0) : -1; s >= 0) {
    connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    close(s);
  }
  return false;
}

bool InstanceGuard::TakeRaiseRequest() {
  bool asked = false;
  if (listen_ < 0) return false;
  for (int s; (s = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
    close(s);
    asked = true;
  }
  return asked;
}

}  // namespace mokuren
