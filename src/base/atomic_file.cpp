#include "base/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mokuren {

namespace {

// Links followed at most, as the system itself does before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

std::string Reason(const char* what, int err) { return std::string(what) + ": " + std::strerror(err); }

// The file a chain of symbolic links leads to, or `path` itself when it is no link (a missing file
// included). A relative link is taken from its own folder. Empty, with `error` set, for a loop.
std::filesystem::path LinkTarget(const std::filesystem::path& path, std::string& error) {
  std::filesystem::path p = path;
  for (int links = 0; links <= kMaxLinks; ++links) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(p, ec))) return p;
    const std::filesystem::path next = std::filesystem::read_symlink(p, ec);
    if (ec) {
      error = Reason("cannot read the link", ec.value());
      return {};
    }
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  error = Reason("cannot follow the link", ELOOP);
  return {};
}

// Makes the rename itself durable. Failure here is not reported: the new file is already complete.
void SyncDirectory(const std::filesystem::path& dir, FileCalls& calls) {
  int fd = calls.Open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return;
  calls.Fsync(fd);
  calls.Close(fd);
}

struct SystemFileCalls final : FileCalls {};

FileCalls* placedCalls = nullptr;

}  // namespace

int FileCalls::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t FileCalls::Write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }
int FileCalls::Fsync(int fd) { return ::fsync(fd); }
int FileCalls::Close(int fd) { return ::close(fd); }
int FileCalls::Rename(const char* from, const char* to) { return ::rename(from, to); }
int FileCalls::Unlink(const char* path) { return ::unlink(path); }

FileCalls& FileCalls::System() {
  static SystemFileCalls calls;
  return placedCalls ? *placedCalls : calls;
}

ScopedFileCalls::ScopedFileCalls(FileCalls& calls) : previous_(placedCalls) { placedCalls = &calls; }
ScopedFileCalls::~ScopedFileCalls() { placedCalls = previous_; }

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

std::string WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                                const std::function<void()>& beforeRename, FileCalls& calls) {
  // A link keeps leading where it led: the file at its end is replaced, by a rename in that file's
  // folder, since a rename onto the link itself would put a plain file in the link's place.
  std::string error;
  const std::filesystem::path target = LinkTarget(path, error);
  if (target.empty()) return error;
  const std::string linked = target == path ? "" : "it is a link to " + target.string() + "; ";
  const std::filesystem::path pending = PendingFileName(target);
  // What a crash left under the temporary name goes first, and the new file must be a new one: a link or
  // a file of someone else's planted there would otherwise be written through.
  calls.Unlink(pending.c_str());
  int fd = calls.Open(pending.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return linked + Reason("cannot create the temporary file", errno);

  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = calls.Write(fd, bytes.data() + done, bytes.size() - done);
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
  if (error.empty() && calls.Fsync(fd) != 0) error = Reason("cannot flush", errno);
  if (calls.Close(fd) != 0 && error.empty()) error = Reason("cannot close", errno);
  if (error.empty()) {
    if (beforeRename) beforeRename();
    if (calls.Rename(pending.c_str(), target.c_str()) != 0) error = Reason("cannot replace the file", errno);
  }
  if (!error.empty()) {
    calls.Unlink(pending.c_str());
    return linked + error;
  }
  SyncDirectory(target.parent_path(), calls);
  return {};
}

}  // namespace mokuren
