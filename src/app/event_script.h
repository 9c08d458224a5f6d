// The events file: one timed event per line, "<ms> <verb> [arguments]".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/event.h"

namespace mokuren {

class EventScript {
 public:
  // An events file is read whole before the game starts; these bound what it may hold, so that an endless
  // or enormous file (/dev/zero, a log named by mistake) is refused instead of filling the memory.
  static constexpr size_t kMaxFileBytes = size_t{16} << 20;
  static constexpr size_t kMaxLineBytes = 8192;

  // Parses the whole text. On a malformed line returns false and sets error to a message naming it.
  // A UTF-8 byte-order mark at the start (as Windows editors write) is skipped.
  bool Parse(const std::string& text, std::string& error);
  // Reads and parses the file; false with a message naming the file when it cannot be read, is a
  // directory or is over kMaxFileBytes.
  bool Load(const std::string& path, std::string& error);

  // Events due at time ms that were not yet taken, in file order.
  std::vector<Event> TakeDue(uint32_t ms);
  // The first of them alone, so that the events after one that opens a modal dialog reach that dialog.
  std::optional<Event> TakeNextDue(uint32_t ms);
  bool Empty() const { return next_ >= events_.size(); }
  const std::vector<Event>& events() const { return events_; }

 private:
  std::vector<Event> events_;
  size_t next_ = 0;
};

}  // namespace mokuren
