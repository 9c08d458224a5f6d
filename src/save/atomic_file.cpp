#include "save/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mokuren {

namespace {

std::string Reason(const char* what, int err) { return std::string(what) + ": " + std::strerror(err); }

// Makes the rename itself durable. Failure here is not reported: the new file is already complete.
void SyncDirectory(const std::filesystem::path& dir) {
  int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::filesystem::path PendingFileName(const std::filesystem::path& target) {
  std::filesystem::path p = target;
  p += ".writing";
  return p;
}

void RemovePendingFiles(const std::filesystem::path& folder) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::filesystem::path& p = it->path();
    if (p.extension() == ".writing" && it->is_regular_file(ec)) std::filesystem::remove(p, ec);
  }
}

std::string WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                                const std::function<void()>& beforeRename) {
  const std::filesystem::path pending = PendingFileName(target);
  int fd = ::open(pending.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Reason("cannot create the temporary file", errno);

  std::string error;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = Reason("cannot write", errno);
      break;
    }
    if (n == 0) {  // a full disk may report no progress instead of an error
      error = Reason("cannot write", ENOSPC);
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (error.empty() && ::fsync(fd) != 0) error = Reason("cannot flush", errno);
  if (::close(fd) != 0 && error.empty()) error = Reason("cannot close", errno);
  if (error.empty()) {
    if (beforeRename) beforeRename();
    if (::rename(pending.c_str(), target.c_str()) != 0) error = Reason("cannot replace the file", errno);
  }
  if (!error.empty()) {
    ::unlink(pending.c_str());
    return error;
  }
  SyncDirectory(target.parent_path());
  return {};
}

}  // namespace mokuren
