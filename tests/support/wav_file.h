// The one WAV reader of the tests: what --record-audio and the sound device's recorder write, read back
// as interleaved 16-bit samples, with the level measurements the sound tests make on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mokuren::testing {

struct WavRecording {
  int channels = 0;
  int rate = 0;
  std::vector<int16_t> s;  // interleaved samples

  size_t Frames() const { return channels ? s.size() / static_cast<size_t>(channels) : 0; }
  // Root mean square of `count` frames of one channel from frame `from` (0 past the end).
  double Rms(size_t from, size_t count, int side) const;
  // The first frame at or after `from` where a window of `window` frames is louder than `level`
  // (Frames() when none is).
  size_t FirstAbove(size_t from, int side, double level, size_t window = 2205) const;
  // The end of the last window louder than `level` (0 when none is).
  size_t LastAbove(int side, double level, size_t window = 2205) const;
};

// Reads a 16-bit PCM WAV file by its chunks. An unreadable file or one that is not 16-bit PCM gives an
// empty recording (channels 0) and a test failure naming the file.
WavRecording ReadWav(const std::filesystem::path& path);
// The same on the bytes of a file.
WavRecording ParseWav(const std::string& bytes, const std::string& name = "WAV data");

}  // namespace mokuren::testing
