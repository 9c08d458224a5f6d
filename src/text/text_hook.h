// The text hook: every message and every choice's options, as the player is shown them, appended as
// UTF-8 lines to a file, a terminal or a named pipe, for screen readers and translation tools. Each line
// is written at once with one write, so a reader sees it the moment it is shown.
#pragma once

#include <string>
#include <string_view>

namespace mokuren {

class TextHook {
 public:
  TextHook() = default;
  ~TextHook();
  TextHook(const TextHook&) = delete;
  TextHook& operator=(const TextHook&) = delete;

  // Opens `path` for appending (created when missing). A named pipe is opened without waiting for a
  // reader: lines wait in the pipe until one comes. False, with the reason in `error`, when it cannot be
  // opened.
  bool Open(const std::string& path, std::string& error);
  bool IsOpen() const { return fd_ >= 0; }
  // Appends one line. A pipe whose reader does not keep up never holds the game: the line is dropped
  // and false returned (as for any failed write).
  bool WriteLine(std::u16string_view line);

 private:
  int fd_ = -1;
};

// The line a message becomes for readers: the hero's name put in for "①", the speaker left in front of
// the speech ("ハルカ「…」"), and the "/" that forces a line break in the window taken out.
std::u16string MessageForReaders(std::u16string_view source, std::u16string_view heroName);

}  // namespace mokuren
