#include "platform/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mokuren {

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool OutputFile::Open(const std::string& path, Mode mode, std::string& problem) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  problem_.clear();
  // O_NONBLOCK: a named pipe with no reader fails at once (ENXIO) instead of waiting for one.
  const int fd =
      ::open(path.c_str(),
             O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (mode == Mode::Append ? O_APPEND : 0), 0644);
  if (fd < 0) {
    problem = errno == ENXIO    ? "it is a named pipe that nothing reads"
              : errno == EISDIR ? "it is a folder"
                                : std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    problem = std::strerror(errno);
    ::close(fd);
    return false;
  }
  // A reader is there: from now on a write waits for it as a write to any pipe does.
  if (S_ISFIFO(st.st_mode)) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (S_ISREG(st.st_mode) && mode == Mode::Replace && ::ftruncate(fd, 0) != 0) {
    problem = std::strerror(errno);
    ::close(fd);
    return false;
  }
  fd_ = fd;
  regular_ = S_ISREG(st.st_mode);
  return true;
}

bool OutputFile::Fail(int error) {
  if (problem_.empty()) problem_ = std::strerror(error);
  return false;
}

bool OutputFile::Write(const void* data, size_t size) {
  if (fd_ < 0 || Failed()) return false;
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd_, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail(n < 0 ? errno : ENOSPC);
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool OutputFile::WriteAt(uint64_t offset, const void* data, size_t size) {
  if (fd_ < 0 || Failed()) return false;
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::pwrite(fd_, p, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail(n < 0 ? errno : ENOSPC);
    p += n;
    offset += static_cast<uint64_t>(n);
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool OutputFile::Close() {
  if (fd_ >= 0 && ::close(fd_) != 0) Fail(errno);
  fd_ = -1;
  return !Failed();
}

bool WriteOutputFile(const std::string& path, const std::string& bytes, std::string& problem) {
  OutputFile file;
  if (!file.Open(path, OutputFile::Mode::Replace, problem)) return false;
  if (file.Write(bytes.data(), bytes.size()) && file.Close()) return true;
  problem = file.Problem();
  return false;
}

}  // namespace mokuren
