// Ogg Vorbis files made in the tests: synthesised signals encoded with libvorbisenc, decoded back with
// libvorbisfile as the reference the engine's output is held against.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace mokuren::testing {

// Interleaved 16-bit samples, encoded at the given rate and channel count, with user comments.
std::string EncodeOgg(const std::vector<int16_t>& samples, int channels, int rate,
                      const std::vector<std::pair<std::string, std::string>>& comments = {});
// A sine of the given frequency and amplitude, seconds long; channelMask bit 0 = left, bit 1 = right
// (for mono only bit 0 counts).
std::vector<int16_t> Sine(double hz, double amplitude, double seconds, int channels, int rate, int channelMask = 3);
// The whole file decoded with ov_read: interleaved 16-bit samples.
std::vector<int16_t> DecodeOgg(const std::string& bytes);

}  // namespace mokuren::testing
