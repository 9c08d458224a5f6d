// What the sound subsystem asks of the rest of the engine. Everything else it needs it is given at
// construction: the platform (headless or not, the clock), the error list, the game folder, the save block
// and the recording file. The engine's link (app/sound_link.h) is the one implementation.
#pragma once

namespace mokuren {

class SoundHost {
 public:
  // Is a scene being skipped? No effect starts then, though a saved game still records it.
  virtual bool SceneSkipping() = 0;

 protected:
  ~SoundHost() = default;
};

}  // namespace mokuren
