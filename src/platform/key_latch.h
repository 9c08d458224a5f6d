// The engine's keys as the backends keep them between two passes: held now, and pressed since the engine
// last looked. A press and release that both fall between two passes still count once. Presses are also
// counted one by one (with the keyboard's repeats, which Repeat adds) for the keys that move between items.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace mokuren {

class KeyLatch {
 public:
  void Set(Key key, bool down) {
    held_[Index(key)] = down;
    if (down) {
      pressed_[Index(key)] = true;
      Repeat(key);
    }
  }
  // The keyboard repeats a held key.
  void Repeat(Key key) {
    uint8_t& n = presses_[Index(key)];
    if (n < kMaxPresses) ++n;
  }
  // One press not yet taken; the look takes it.
  bool TakePress(Key key) {
    uint8_t& n = presses_[Index(key)];
    if (n == 0) return false;
    --n;
    return true;
  }
  // Held now, or pressed since the last look; the look takes the press.
  bool Take(Key key) {
    const bool down = held_[Index(key)] || pressed_[Index(key)];
    pressed_[Index(key)] = false;
    return down;
  }
  // The keyboard went elsewhere: nothing is held and no press waits.
  void Clear() {
    held_.fill(false);
    pressed_.fill(false);
    presses_.fill(0);
  }

 private:
  static size_t Index(Key key) { return static_cast<size_t>(key); }
  std::array<bool, static_cast<size_t>(Key::Count)> held_{};
  std::array<bool, static_cast<size_t>(Key::Count)> pressed_{};
  // Presses waiting, at most a few: a game that stalled does not run far on a key that was held.
  static constexpr uint8_t kMaxPresses = 4;
  std::array<uint8_t, static_cast<size_t>(Key::Count)> presses_{};
};

}  // namespace mokuren
