// The automation contract: the events file, applied at the start of each pass, and the trace of TaskCode.
// What a line does goes through the engine's own handlers, or through the backend's real widgets when it
// has them.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/event_recorder.h"
#include "app/event_script.h"
#include "app/launch_options.h"
#include "platform/output_file.h"

namespace mokuren {

class TForm1;
class Platform;
struct GameMoment;

class Automation {
 public:
  Automation(TForm1& engine, Platform& platform, const LaunchOptions& options);

  // Reads the events file named on the command line; false with a message naming the bad line.
  bool LoadEvents(std::string& error);
  // Starts --record-events' file; false with a message naming it when it cannot be written.
  bool StartRecording(std::string& error);
  // The events due after `elapsedMs` of the loop, one at a time: an event that opens a modal dialog runs
  // passes, in which the events after it apply. A "key" event's key is released at the next call.
  void ApplyDueEvents(uint32_t elapsedMs);
  void ApplyEvent(const Event& event);
  // Events or key releases are still to come (the loop then keeps its ordinary rhythm).
  bool Pending() const { return !events_.Empty() || !keysToRelease_.empty(); }
  // 0, 3 after a "wait" line whose condition did not come in its time, or 5 when a file the run was to
  // write (the trace, a screenshot, a dump, the recorded sound or events) could not be (the run then ends).
  int ExitStatus() const { return exitStatus_; }
  static constexpr int kOutputFailed = 5;
  // Once a pass: a recording that could no longer be written ends the run.
  void CheckOutputs();
  // The player's input as the engine's handlers receive it, for --record-events.
  void PlayerMouseDown(MouseButton button, Point client);
  void PlayerWheel(bool up);
  void PlayerSaveLoadMouseDown(MouseButton button, Point client);
  void PlayerFloatMouseDown(MouseButton button, Point client);
  void PlayerMenu(MenuItem item);
  void PlayerClose();
  void PlayerAnswered(FormId form, int modalResult);

  // "events line N: " + what, in the error list.
  void ReportEvent(const Event& event, const std::u16string& what);
  // Appends "<ms> TC=<hex> NO=<script> ST=<step>" to the trace file when TaskCode changed since the last
  // line.
  void TraceTaskCode(uint32_t elapsedMs, int32_t taskCode, int32_t scriptNo, int32_t stepNo);

 private:
  void ApplyDueLines(uint32_t elapsedMs);
  // Whether the wait line at the head of the file holds now; ends the run when its time ran out.
  bool HoldWait(const Event& wait, uint32_t elapsedMs);
  void FailWait(const Event& wait, const GameMoment& moment);
  // The pass a line of the player's input is taken in: this one while the events are applied, the next
  // one for input the window received between passes.
  int64_t InputPass() const;
  uint32_t InputMs();  // and the time it is taken at
  void RecordKeys(uint32_t elapsedMs);
  void Record(const std::string& line);
  // A line taken at the pass that runs now (a modal window's answer, after the passes it ran).
  void RecordNow(const std::string& line);
  // The verbs of the subsystems: saving, dialogs, debugging, screenshots.
  void ApplySubsystemEvent(const Event& event);
  // The events file's dialog-text verb: the texts of the modal window in front, UTF-8, one a line (an
  // empty file when none is up).
  void WriteDialogTexts(const std::string& file);
  // A file of the run could not be written: status 5, and the run ends as a confirmed quit.
  void OutputFailed();
  void TraceFailed(const std::string& problem);

  TForm1& engine_;
  Platform& platform_;
  const LaunchOptions& options_;
  EventScript events_;
  EventRecorder recorder_;
  bool applying_ = false;                                         // inside ApplyDueEvents
  uint32_t passStartMs_ = 0;                                      // when the pass whose events are applied began
  std::array<bool, static_cast<size_t>(Key::Count)> keysDown_{};  // as the recording last saw them
  std::vector<Event> keysToRelease_;                              // keyup events of this pass's "key" events
  int64_t appliedPass_ = 0;                                       // the pass the last line was applied in
  int waitLine_ = 0;                                              // the wait being held (its line), from waitSinceMs_
  uint32_t waitSinceMs_ = 0;
  int64_t seenPass_ = 0;  // the last pass whose start found the wait's condition holding
  int exitStatus_ = 0;
  uint32_t lastLineMs_ = 0;  // when the last line was applied (or a wait held), for --end-after-events
  int32_t tracedTaskCode_ = 0;
  bool traced_ = false;
  OutputFile traceFile_;
  bool traceFailed_ = false;
  bool outputChecked_ = false;
};

}  // namespace mokuren
