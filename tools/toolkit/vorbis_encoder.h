// Encodes 16-bit PCM as Ogg Vorbis with libvorbisenc. The engine never encodes; the demo builder, the
// tests and the benchmarks make their sound files with it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace mokuren {

struct VorbisEncodeOptions {
  float quality = 0.5f;                                       // libvorbisenc's VBR quality, -0.1 .. 1.0
  std::vector<std::pair<std::string, std::string>> comments;  // user comments, name and value (UTF-8)
  uint32_t serial = 1;
};

// Interleaved samples (frames × channels). Returns the whole file, or an empty string when the encoder
// refuses the channel count or rate.
std::string EncodeVorbis(const int16_t* samples, size_t frames, int channels, int rate,
                         const VorbisEncodeOptions& options = {});

}  // namespace mokuren
