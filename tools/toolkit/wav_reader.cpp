#include "toolkit/wav_reader.h"

#include <cstring>

namespace mokuren::toolkit {

namespace {

uint32_t U32(std::string_view b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + static_cast<size_t>(i)]);
  return v;
}

uint16_t U16(std::string_view b, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

}  // namespace

bool ParseWav(std::string_view b, WavSamples& out, std::string& error) {
  out = WavSamples{};
  if (b.size() < 12 || b.substr(0, 4) != "RIFF" || b.substr(8, 4) != "WAVE") {
    error = "not a WAV file";
    return false;
  }
  bool haveFormat = false;
  for (size_t at = 12; at + 8 <= b.size();) {
    const std::string_view id = b.substr(at, 4);
    const size_t size = U32(b, at + 4);
    const size_t body = at + 8;
    if (id == "fmt " && body + 16 <= b.size()) {
      if (U16(b, body) != 1 || U16(b, body + 14) != 16) {
        error = "not 16-bit PCM";
        return false;
      }
      out.channels = U16(b, body + 2);
      out.rate = static_cast<int>(U32(b, body + 4));
      haveFormat = true;
    } else if (id == "data" && haveFormat) {
      // The data chunk is the recorder's last; a run killed before the header's last update leaves its
      // size short, so the samples are taken to the end of the file.
      const size_t bytes = (b.size() - body) & ~size_t{1};
      out.samples.resize(bytes / 2);
      std::memcpy(out.samples.data(), b.data() + body, bytes);
      return true;
    }
    if (size > b.size() - body) break;
    at = body + size + (size & 1);
  }
  error = "no format or data chunk";
  out.channels = 0;
  return false;
}

}  // namespace mokuren::toolkit
