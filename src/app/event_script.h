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
  // How long a "wait" line without a timeout of its own may wait before the run fails.
  static constexpr uint32_t kDefaultWaitTimeoutMs = 30000;

  // Parses the whole text. On a malformed line returns false and sets error to a message naming it.
  // A UTF-8 byte-order mark at the start (as Windows editors write) is skipped.
  bool Parse(const std::string& text, std::string& error);
  // Reads and parses the file; false with a message naming the file when it cannot be read, is a
  // directory or is over kMaxFileBytes.
  bool Load(const std::string& path, std::string& error);

  // The next line not yet taken; nothing at the end.
  const Event* Next() const;
  // When that line falls due: its time, or for a "+MS" line the time the line before it was taken plus MS.
  uint64_t DueMs(const Event& event) const;
  // Takes the next line at time nowMs (a wait: the moment it held), from which "+MS" after it counts.
  Event Take(uint32_t nowMs);

  // Events due at time ms that were not yet taken, in file order (waits included: the caller holds them).
  std::vector<Event> TakeDue(uint32_t ms);
  // The first of them alone, so that the events after one that opens a modal dialog reach that dialog.
  std::optional<Event> TakeNextDue(uint32_t ms);
  bool Empty() const { return next_ >= events_.size(); }
  const std::vector<Event>& events() const { return events_; }

 private:
  std::vector<Event> events_;
  size_t next_ = 0;
  uint32_t lastAppliedMs_ = 0;
};

}  // namespace mokuren
