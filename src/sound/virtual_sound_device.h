// The headless sound device: no output, a play cursor that follows the virtual clock. Pump plays what is
// due in steps of 10 ms and runs the refill polls after each step on the calling (engine) thread, so a
// headless run mixes exactly the same samples every time.
#pragma once

#include <vector>

#include "sound/sound_device.h"

namespace mokuren {

class VirtualSoundDevice final : public SoundDevice {
 public:
  explicit VirtualSoundDevice(uint32_t startMs = 0) : lastMs_(startMs) {}

  bool Open() override { return open_ = true; }
  bool IsOpen() const override { return open_; }
  bool RealTime() const override { return false; }
  void Pump(uint32_t nowMs) override;
  bool Lost() const override { return lost_; }

  // Tests: a device that stops working, as an unplugged one would.
  void SetLost(bool lost) { lost_ = lost; }
  // Plays exactly frameCount frames, then runs the polls (tests).
  void Advance(uint32_t frameCount);
  uint64_t FramesPlayed() const { return framesPlayed_; }

 private:
  bool open_ = false;
  bool lost_ = false;
  uint32_t lastMs_;
  uint64_t msPlayed_ = 0;
  uint64_t framesPlayed_ = 0;
  std::vector<int16_t> scratch_;
};

}  // namespace mokuren
