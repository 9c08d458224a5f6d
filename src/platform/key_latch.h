// The engine's keys as the backends keep them between two passes: held now, and pressed since the engine
// last looked. A press and release that both fall between two passes still count once.
#pragma once

#include <array>
#include <cstddef>

#include "platform/platform.h"

namespace mokuren {

class KeyLatch {
 public:
  void Set(Key key, bool down) {
    held_[Index(key)] = down;
    if (down) pressed_[Index(key)] = true;
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
  }

 private:
  static size_t Index(Key key) { return static_cast<size_t>(key); }
  std::array<bool, static_cast<size_t>(Key::Count)> held_{};
  std::array<bool, static_cast<size_t>(Key::Count)> pressed_{};
};

}  // namespace mokuren
