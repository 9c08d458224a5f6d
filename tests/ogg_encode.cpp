#include "ogg_encode.h"

#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "toolkit/vorbis_encoder.h"

namespace mokuren::testing {

std::string EncodeOgg(const std::vector<int16_t>& samples, int channels, int rate,
                      const std::vector<std::pair<std::string, std::string>>& comments) {
  VorbisEncodeOptions options;
  options.quality = 0.6f;
  options.comments = comments;
  return EncodeVorbis(samples.data(), samples.size() / static_cast<size_t>(channels), channels, rate, options);
}

std::vector<int16_t> Sine(double hz, double amplitude, double seconds, int channels, int rate, int channelMask) {
  size_t frames = static_cast<size_t>(seconds * rate);
  std::vector<int16_t> s(frames * channels);
  for (size_t i = 0; i < frames; ++i) {
    auto v = static_cast<int16_t>(amplitude * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / rate));
    for (int c = 0; c < channels; ++c) s[i * channels + c] = (channels == 1 || (channelMask >> c) & 1) ? v : 0;
  }
  return s;
}

namespace {

struct Source {
  const std::string* bytes;
  size_t at;
};

size_t ReadSource(void* p, size_t size, size_t count, void* s) {
  auto* src = static_cast<Source*>(s);
  size_t n = std::min(size * count, src->bytes->size() - src->at);
  std::memcpy(p, src->bytes->data() + src->at, n);
  src->at += n;
  return size ? n / size : 0;
}

int SeekSource(void* s, ogg_int64_t offset, int whence) {
  auto* src = static_cast<Source*>(s);
  ogg_int64_t base = whence == SEEK_SET   ? 0
                     : whence == SEEK_CUR ? static_cast<ogg_int64_t>(src->at)
                                          : static_cast<ogg_int64_t>(src->bytes->size());
  if (base + offset < 0 || base + offset > static_cast<ogg_int64_t>(src->bytes->size())) return -1;
  src->at = static_cast<size_t>(base + offset);
  return 0;
}

long TellSource(void* s) { return static_cast<long>(static_cast<Source*>(s)->at); }

}  // namespace

std::vector<int16_t> DecodeOgg(const std::string& bytes) {
  OggVorbis_File vf;
  std::vector<int16_t> out;
  Source src{&bytes, 0};
  ov_callbacks cb{ReadSource, SeekSource, nullptr, TellSource};
  if (ov_open_callbacks(&src, &vf, nullptr, 0, cb) < 0) {
    return out;
  }
  char buf[4096];
  int section = 0;
  for (;;) {
    long n = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &section);
    if (n <= 0) break;
    size_t old = out.size();
    out.resize(old + static_cast<size_t>(n) / 2);
    std::memcpy(out.data() + old, buf, static_cast<size_t>(n));
  }
  ov_clear(&vf);
  return out;
}

}  // namespace mokuren::testing
