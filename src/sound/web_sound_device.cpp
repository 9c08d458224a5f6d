#include "sound/web_sound_device.h"

#include <emscripten.h>

#include <algorithm>
#include <utility>

namespace mokuren {

namespace {
WebSoundDevice* current = nullptr;
}  // namespace

WebSoundDevice* CurrentWebSoundDevice() { return current; }

WebSoundDevice::WebSoundDevice(std::function<uint32_t()> clock) : clock_(std::move(clock)), lastMs_(clock_()) {
  current = this;
}

WebSoundDevice::~WebSoundDevice() {
  if (current == this) current = nullptr;
}

void WebSoundDevice::Pump(uint32_t nowMs) {
  // Pulls and passes both bring the mixer up to the clock; whichever comes second finds little or nothing
  // left to do. A page held up for long plays at most a second of what it missed.
  if (static_cast<int32_t>(nowMs - lastMs_) <= 0) return;
  const uint32_t elapsed = std::min<uint32_t>(nowMs - lastMs_, 1000);
  lastMs_ = nowMs;
  for (uint32_t left = elapsed; left > 0;) {
    const uint32_t step = std::min<uint32_t>(left, 10);
    left -= step;
    // 44.1 frames per millisecond, counted in whole milliseconds so no fraction of a frame is lost.
    const uint64_t before = msPlayed_ * kDeviceRate / 1000;
    msPlayed_ += step;
    const auto count = static_cast<uint32_t>(msPlayed_ * kDeviceRate / 1000 - before);
    scratch_.resize(static_cast<size_t>(count) * 2);
    Render(scratch_.data(), count);
    for (uint32_t i = 0; i < count; ++i) {
      if (frames_ == kRingFrames) {  // full: the oldest frame goes
        readFrame_ = (readFrame_ + 1) % kRingFrames;
        --frames_;
      }
      const uint32_t at = (readFrame_ + frames_) % kRingFrames;
      ring_[at * 2] = scratch_[i * 2];
      ring_[at * 2 + 1] = scratch_[i * 2 + 1];
      ++frames_;
    }
    RunPollers();
  }
}

float WebSoundDevice::Pull(float* out, uint32_t frameCount) {
  Pump(clock_());
  if (frames_ < frameCount) dryFrames_ += frameCount - frames_;
  double sum = 0;
  for (uint32_t i = 0; i < frameCount; ++i) {
    float left = 0, right = 0;
    if (frames_ > 0) {
      left = ring_[readFrame_ * 2] / 32768.0f;
      right = ring_[readFrame_ * 2 + 1] / 32768.0f;
      readFrame_ = (readFrame_ + 1) % kRingFrames;
      --frames_;
    }
    out[i * 2] = left;
    out[i * 2 + 1] = right;
    sum += double{left} * left + double{right} * right;
  }
  return frameCount ? static_cast<float>(sum / (2.0 * frameCount)) : 0.0f;
}

}  // namespace mokuren

extern "C" {

// The page's Web Audio node asks for frameCount frames into `out` (interleaved stereo floats).
EMSCRIPTEN_KEEPALIVE float mokuren_audio_pull(float* out, uint32_t frameCount) {
  mokuren::WebSoundDevice* device = mokuren::CurrentWebSoundDevice();
  if (!device) {
    std::fill(out, out + static_cast<size_t>(frameCount) * 2, 0.0f);
    return 0.0f;
  }
  return device->Pull(out, frameCount);
}

// The frames the page's pulls were given as silence because the ring was dry (its tests watch this for
// gaps in the sound), as a double so that the count passes to JavaScript whole.
EMSCRIPTEN_KEEPALIVE double mokuren_audio_dry_frames() {
  const mokuren::WebSoundDevice* device = mokuren::CurrentWebSoundDevice();
  return device ? static_cast<double>(device->DryFrames()) : 0.0;
}

}  // extern "C"
