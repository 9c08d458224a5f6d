// The main loop's passes and frames so far and its clock: when the loop started (events and --max-ms count
// from then) and when the 10 ms timer last ticked.
#pragma once

#include <cstdint>

namespace mokuren {

struct LoopClock {
  int64_t passes = 0;
  int64_t frames = 0;
  bool started = false;
  // Once the game first waits (for time, a frame or the player); the passes before follow one another at
  // once in a window.
  bool settled = false;
  uint32_t startTick = 0;
  uint32_t lastTimerTick = 0;

  void Start(uint32_t now) {
    startTick = lastTimerTick = now;
    started = true;
  }
  // Milliseconds since the loop started; 0 before.
  uint32_t Elapsed(uint32_t now) const { return started ? now - startTick : 0; }
};

}  // namespace mokuren
