// The automation contract: the events file, applied at the start of each pass, and the trace of TaskCode.
// What a line does goes through the engine's own handlers, or through the backend's real widgets when it
// has them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/event_script.h"
#include "app/launch_options.h"

namespace mokuren {

class TForm1;
class Platform;

class Automation {
 public:
  Automation(TForm1& engine, Platform& platform, const LaunchOptions& options);

  // Reads the events file named on the command line; false with a message naming the bad line.
  bool LoadEvents(std::string& error);
  // The events due after `elapsedMs` of the loop, one at a time: an event that opens a modal dialog runs
  // passes, in which the events after it apply. A "key" event's key is released at the next call.
  void ApplyDueEvents(uint32_t elapsedMs);
  void ApplyEvent(const Event& event);
  // Events or key releases are still to come (the loop then keeps its ordinary rhythm).
  bool Pending() const { return !events_.Empty() || !keysToRelease_.empty(); }
  // "events line N: " + what, in the error list.
  void ReportEvent(const Event& event, const std::u16string& what);
  // Appends "<ms> TC=<hex> NO=<script> ST=<step>" to the trace file when TaskCode changed since the last
  // line.
  void TraceTaskCode(uint32_t elapsedMs, int32_t taskCode, int32_t scriptNo, int32_t stepNo);

 private:
  // The verbs of the subsystems: saving, dialogs, debugging, screenshots.
  void ApplySubsystemEvent(const Event& event);
  // The events file's dialog-text verb: the texts of the modal window in front, UTF-8, one a line (an
  // empty file when none is up).
  void WriteDialogTexts(const std::string& file);

  TForm1& engine_;
  Platform& platform_;
  const LaunchOptions& options_;
  EventScript events_;
  std::vector<Event> keysToRelease_;  // keyup events of this pass's "key" events
  int32_t tracedTaskCode_ = 0;
  bool traced_ = false;
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, FileCloser> traceFile_;
};

}  // namespace mokuren
