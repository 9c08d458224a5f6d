// Reading the WAV files that --record-audio and the sound device's recorder write: 16-bit PCM, read by
// its chunks. The tests and the test runner both read recordings through this.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mokuren::toolkit {

struct WavSamples {
  int channels = 0;
  int rate = 0;
  std::vector<int16_t> samples;  // interleaved
};

// False, with `error` saying why, for bytes that are not a 16-bit PCM WAV file with a format and a data
// chunk. A data chunk whose size was never brought up to date (a killed run) reaches to the end of the
// file.
bool ParseWav(std::string_view bytes, WavSamples& out, std::string& error);

}  // namespace mokuren::toolkit
