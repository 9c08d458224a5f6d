#include "platform/game_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

namespace mokuren {

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
  return s;
}

}  // namespace

std::filesystem::path ExecutableDirectory() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path(ec);
  return exe.parent_path();
}

std::filesystem::path FindGameFile(const std::filesystem::path& dir, const std::string& relative) {
  std::string rel = relative;
  std::replace(rel.begin(), rel.end(), '\\', '/');
  while (!rel.empty() && rel.front() == '/') rel.erase(rel.begin());
  std::filesystem::path asWritten = dir / rel;
  std::error_code ec;
  if (std::filesystem::exists(asWritten, ec)) return asWritten;

  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= rel.size()) {
    size_t slash = rel.find('/', start);
    if (slash == std::string::npos) slash = rel.size();
    if (slash > start) parts.push_back(rel.substr(start, slash - start));
    start = slash + 1;
  }
  std::filesystem::path current = dir;
  for (const auto& part : parts) {
    std::filesystem::path exact = current / part;
    if (std::filesystem::exists(exact, ec)) {
      current = exact;
      continue;
    }
    std::string want = Lower(part);
    bool found = false;
    for (std::filesystem::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec)) {
      if (Lower(it->path().filename().string()) == want) {
        current = it->path();
        found = true;
        break;
      }
    }
    if (!found) return asWritten;
  }
  return current;
}

GameFile::~GameFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool GameFile::Open(const std::filesystem::path& path, std::string& problem) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
  const auto notRegular = [&problem](mode_t mode) {
    problem = S_ISDIR(mode)    ? "it is a folder, not a file"
              : S_ISFIFO(mode) ? "it is a named pipe, not a regular file"
                               : "it is not a regular file";
    return false;
  };
  // A device or a pipe is not even opened (opening some devices has effects of their own). One put in the
  // file's place after that first look is opened with O_NONBLOCK, which returns at once instead of waiting
  // for a writer (on a regular file it changes nothing), and refused by a second look at what was opened.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return notRegular(st.st_mode);
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    problem = errno == ENOENT ? "the file is missing"
                              : std::string("the file cannot be opened (") + std::strerror(errno) + ")";
    return false;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return notRegular(st.st_mode);
  }
  fd_ = fd;
  size_ = static_cast<uint64_t>(st.st_size);
  return true;
}

bool GameFile::ReadAt(uint64_t offset, void* buffer, size_t size) const {
  auto* out = static_cast<char*>(buffer);
  while (size > 0) {
    const ssize_t n = ::pread(fd_, out, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    out += n;
    offset += static_cast<uint64_t>(n);
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool ReadGameFile(const std::filesystem::path& path, uint64_t limit, std::vector<uint8_t>& bytes,
                  std::string& problem) {
  bytes.clear();
  GameFile file;
  if (!file.Open(path, problem)) return false;
  if (file.Size() > limit) {
    problem = "the file is " + ByteCountText(file.Size()) + ", more than the " + ByteLimitText(limit) + " allowed";
    return false;
  }
  bytes.resize(static_cast<size_t>(file.Size()));
  if (!file.ReadAt(0, bytes.data(), bytes.size())) {
    bytes.clear();
    problem = "the file cannot be read";
    return false;
  }
  return true;
}

std::string ByteCountText(uint64_t bytes) {
  std::string digits = std::to_string(bytes);
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits + (bytes == 1 ? " byte" : " bytes");
}

std::string ByteLimitText(uint64_t bytes) {
  static constexpr struct {
    int shift;
    const char* unit;
  } kUnits[] = {{30, " GiB"}, {20, " MiB"}, {10, " KiB"}};
  for (const auto& u : kUnits)
    if (bytes >= (uint64_t{1} << u.shift) && bytes % (uint64_t{1} << u.shift) == 0)
      return std::to_string(bytes >> u.shift) + u.unit;
  return ByteCountText(bytes);
}

}  // namespace mokuren
