#include "platform/instance_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace mokuren {

InstanceGuard::~InstanceGuard() {
  if (fd_ >= 0) close(fd_);
}

bool InstanceGuard::Acquire() {
  std::string dir;
  if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run) {
    dir = run;
  } else {
    dir = "/tmp/mokuren-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
  }
  std::string path = dir + "/Mokuren.lock";
  fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) return true;
  if (flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
  close(fd_);
  fd_ = -1;
  return errno != EWOULDBLOCK;
}

}  // namespace mokuren
