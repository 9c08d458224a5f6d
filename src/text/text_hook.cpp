#include "text/text_hook.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/text_codec.h"
#include "text/message_layout.h"

namespace mokuren {

TextHook::~TextHook() {
  if (fd_ >= 0) ::close(fd_);
}

bool TextHook::Open(const std::string& path, std::string& error) {
  struct stat st {};
  // Opened for reading too, a pipe never waits for its reader and never loses its lines when a reader
  // goes away; non-blocking, a full one cannot stop the game.
  const bool pipe = ::stat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
  fd_ = pipe ? ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC)
             : ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) error = std::strerror(errno);
  return fd_ >= 0;
}

bool TextHook::WriteLine(std::u16string_view line) {
  if (fd_ < 0) return false;
  const std::string bytes = ToUtf8(line) + "\n";
  ssize_t n;
  do {
    n = ::write(fd_, bytes.data(), bytes.size());
  } while (n < 0 && errno == EINTR);
  return n == static_cast<ssize_t>(bytes.size());
}

std::u16string MessageForReaders(std::u16string_view source, std::u16string_view heroName) {
  std::u16string line;
  for (char16_t c : source) {
    if (c == kHeroPlaceholder) {
      line.append(heroName);
    } else if (c != u'/') {
      line.push_back(c);
    }
  }
  return line;
}

}  // namespace mokuren
