// A sound made while it plays: a decoder that hands out its next stretch of frames on each call, so that
// nothing but a refill's worth of it is ever held decoded.
#pragma once

#include <cstdint>

namespace mokuren {

class PcmSource {
 public:
  virtual ~PcmSource() = default;
  // Writes up to `frames` frames of 16-bit interleaved stereo (left, right) into dest and returns how many
  // it wrote: fewer only once the sound has ended, and 0 from then on.
  virtual int64_t Read(int16_t* dest, int64_t frames) = 0;
};

}  // namespace mokuren
