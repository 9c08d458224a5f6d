#include "sound/virtual_sound_device.h"

#include <algorithm>

namespace mokuren {

void VirtualSoundDevice::Pump(uint32_t nowMs) {
  // The clock wraps around like the system tick count; differences stay right across the wrap.
  uint32_t elapsed = nowMs - lastMs_;
  lastMs_ = nowMs;
  // A stall longer than a minute is played as one minute: the buffers loop anyway, and the run must not
  // spend its time mixing silence.
  elapsed = std::min<uint32_t>(elapsed, 60000);
  while (elapsed > 0) {
    uint32_t step = std::min<uint32_t>(elapsed, 10);
    elapsed -= step;
    // 44.1 frames per millisecond: count whole milliseconds so no fraction of a frame is ever lost.
    uint64_t before = msPlayed_ * kDeviceRate / 1000;
    msPlayed_ += step;
    Advance(static_cast<uint32_t>(msPlayed_ * kDeviceRate / 1000 - before));
  }
}

void VirtualSoundDevice::Advance(uint32_t frameCount) {
  if (lost_) return;
  scratch_.resize(static_cast<size_t>(frameCount) * 2);
  Render(scratch_.data(), frameCount);
  framesPlayed_ += frameCount;
  RunPollers();
}

}  // namespace mokuren
