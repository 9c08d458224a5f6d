#include "support/wav_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "support/engine_fixture.h"

namespace mokuren::testing {

namespace {

uint32_t U32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + static_cast<size_t>(i)]);
  return v;
}

uint16_t U16(const std::string& b, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

}  // namespace

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
  WavRecording r;
  if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) {
    ADD_FAILURE() << name << " is not a WAV file";
    return r;
  }
  bool haveFormat = false;
  for (size_t at = 12; at + 8 <= b.size();) {
    const std::string id = b.substr(at, 4);
    const size_t size = U32(b, at + 4);
    const size_t body = at + 8;
    if (id == "fmt " && body + 16 <= b.size()) {
      if (U16(b, body) != 1 || U16(b, body + 14) != 16) {
        ADD_FAILURE() << name << " is not 16-bit PCM";
        return r;
      }
      r.channels = U16(b, body + 2);
      r.rate = static_cast<int>(U32(b, body + 4));
      haveFormat = true;
    } else if (id == "data" && haveFormat) {
      // The data chunk is the recorder's last; a run killed before the header's last update leaves its
      // size short, so the samples are taken to the end of the file.
      const size_t bytes = (b.size() - body) & ~size_t{1};
      r.s.resize(bytes / 2);
      std::memcpy(r.s.data(), b.data() + body, bytes);
      return r;
    }
    at = body + size + (size & 1);
  }
  ADD_FAILURE() << name << " has no format or data chunk";
  r.channels = 0;
  return r;
}

WavRecording ReadWav(const std::filesystem::path& path) { return ParseWav(ReadFile(path), path.string()); }

}  // namespace mokuren::testing
