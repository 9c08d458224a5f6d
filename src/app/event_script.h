// The events file: one timed event per line, "<ms> <verb> [arguments]".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mokuren {

struct Event {
  uint32_t ms = 0;
  std::string verb;
  std::vector<std::string> args;  // split on blanks
  std::string text;               // everything after the verb, for verbs that take a text
  int line = 0;
};

class EventScript {
 public:
  // Parses the whole text. On a malformed line returns false and sets error to a message naming it.
  bool Parse(const std::string& text, std::string& error);
  bool Load(const std::string& path, std::string& error);

  // Events due at time ms that were not yet taken, in file order.
  std::vector<Event> TakeDue(uint32_t ms);
  // The first of them alone, so that the events after one that opens a modal dialog reach that dialog.
  std::optional<Event> TakeNextDue(uint32_t ms);
  bool Empty() const { return next_ >= events_.size(); }
  const std::vector<Event>& events() const { return events_; }

  static bool KnownVerb(const std::string& verb);

 private:
  std::vector<Event> events_;
  size_t next_ = 0;
};

}  // namespace mokuren
