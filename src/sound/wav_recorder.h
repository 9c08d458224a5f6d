// Writes what the sound device plays to a WAV file: 44100 Hz, 16-bit, stereo. The header's sizes are
// brought up to date now and then and at the end, so a run that is killed still leaves a playable file.
// Writes come from the thread that mixes (the sound thread of a windowed game); a write that fails is
// kept, and the engine thread asks for it once a pass.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/output_file.h"

namespace mokuren {

class WavRecorder {
 public:
  // Opens (replaces) the file; Good() tells whether that worked, OpenProblem() why not.
  explicit WavRecorder(const std::string& path);
  ~WavRecorder();
  WavRecorder(const WavRecorder&) = delete;
  WavRecorder& operator=(const WavRecorder&) = delete;

  bool Good() const { return file_.IsOpen(); }
  const std::string& OpenProblem() const { return openProblem_; }
  // Appends interleaved stereo frames.
  void Write(const int16_t* frames, uint32_t frameCount);
  uint64_t FramesWritten() const { return frames_; }
  // Why the recording could not be written on, once a write failed (any thread may ask).
  std::optional<std::string> WriteProblem() const;

 private:
  void UpdateHeader();
  void WriteHeader(uint32_t dataBytes);
  void NoteFailure();

  OutputFile file_;
  std::string openProblem_;
  uint64_t frames_ = 0;
  uint64_t framesAtHeader_ = 0;
  std::atomic<bool> failed_{false};
  std::string writeProblem_;  // set once, before failed_
};

}  // namespace mokuren
