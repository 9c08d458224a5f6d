#include "support/wav_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/engine_fixture.h"
#include "toolkit/wav_reader.h"

namespace mokuren::testing {

double WavRecording::Rms(size_t from, size_t count, int side) const {
  double sum = 0;
  size_t n = 0;
  for (size_t i = from; i < std::min(from + count, Frames()); ++i, ++n) {
    const double v = s[i * static_cast<size_t>(channels) + static_cast<size_t>(side)];
    sum += v * v;
  }
  return n ? std::sqrt(sum / static_cast<double>(n)) : 0;
}

size_t WavRecording::FirstAbove(size_t from, int side, double level, size_t window) const {
  for (size_t f = from; f + window <= Frames(); f += window / 5)
    if (Rms(f, window, side) > level) return f;
  return Frames();
}

size_t WavRecording::LastAbove(int side, double level, size_t window) const {
  for (size_t f = Frames() >= window ? Frames() - window : 0; f > 0; f -= std::min(f, window / 5))
    if (Rms(f, window, side) > level) return f + window;
  return 0;
}

WavRecording ParseWav(const std::string& b, const std::string& name) {
  toolkit::WavSamples wav;
  std::string error;
  if (!toolkit::ParseWav(b, wav, error)) {
    ADD_FAILURE() << name << ": " << error;
    return {};
  }
  return {wav.channels, wav.rate, std::move(wav.samples)};
}

WavRecording ReadWav(const std::filesystem::path& path) { return ParseWav(ReadFile(path), path.string()); }

}  // namespace mokuren::testing
