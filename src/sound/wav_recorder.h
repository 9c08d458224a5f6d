// Writes what the sound device plays to a WAV file: 44100 Hz, 16-bit, stereo. The header's sizes are
// brought up to date now and then and at the end, so a run that is killed still leaves a playable file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace mokuren {

class WavRecorder {
 public:
  // Opens (replaces) the file; Good() tells whether that worked.
  explicit WavRecorder(const std::string& path);
  ~WavRecorder();
  WavRecorder(const WavRecorder&) = delete;
  WavRecorder& operator=(const WavRecorder&) = delete;

  bool Good() const { return file_ != nullptr; }
  // Appends interleaved stereo frames.
  void Write(const int16_t* frames, uint32_t frameCount);
  uint64_t FramesWritten() const { return frames_; }

 private:
  void UpdateHeader();

  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  uint64_t frames_ = 0;
  uint64_t framesAtHeader_ = 0;
};

}  // namespace mokuren
