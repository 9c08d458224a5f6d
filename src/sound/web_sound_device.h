// The browser's sound device: the mixer runs on the engine's clock as the headless device's does (10 ms
// steps, refill polls after each), and what it plays waits in a ring for the page's Web Audio node, which
// pulls it (mokuren_audio_pull) at the audio hardware's pace. Each pull first brings the mixer up to the
// clock, so the sound keeps itself fed while the page asks for no frames (a quiet rest of a second); the
// engine's passes pump it too. Before the page starts its audio (browsers allow that only after the
// player's first press) and when the node falls behind, the oldest frames are dropped, so the sound never
// lags the picture by more than the ring.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "sound/sound_device.h"

namespace mokuren {

class WebSoundDevice final : public SoundDevice {
 public:
  // `clock` is the engine's clock (milliseconds), which Pump is given too: mixing starts from its time
  // now, and the pulls read it.
  explicit WebSoundDevice(std::function<uint32_t()> clock);
  ~WebSoundDevice() override;

  bool Open() override { return open_ = true; }
  bool IsOpen() const override { return open_; }
  bool RealTime() const override { return false; }
  void Pump(uint32_t nowMs) override;

  // Mixes up to the clock, then moves up to frameCount frames of the ring into `out` as interleaved
  // floats, silence where the ring runs dry; returns the mean square of what it gave (the page's level for
  // tests). Runs between the engine's passes, never inside one.
  float Pull(float* out, uint32_t frameCount);
  // The frames the pulls have given as silence because the ring was dry (the page's tests).
  uint64_t DryFrames() const { return dryFrames_; }

 private:
  static constexpr uint32_t kRingFrames = 8192;  // 186 ms at 44100 Hz
  std::function<uint32_t()> clock_;
  bool open_ = false;
  uint32_t lastMs_;
  uint64_t msPlayed_ = 0;
  uint64_t dryFrames_ = 0;
  std::vector<int16_t> scratch_;
  std::vector<int16_t> ring_ = std::vector<int16_t>(kRingFrames * 2);
  uint32_t readFrame_ = 0, frames_ = 0;
};

// The device of this page (null before the sound starts), for the page's pull.
WebSoundDevice* CurrentWebSoundDevice();

}  // namespace mokuren
