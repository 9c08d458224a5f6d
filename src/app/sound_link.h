// The engine's side of the sound subsystem's host: what SoundSystem asks, answered from TForm1.
#pragma once

#include "sound/sound_host.h"

namespace mokuren {

class TForm1;

class SoundLink final : public SoundHost {
 public:
  explicit SoundLink(TForm1& form) : form_(form) {}

  bool SceneSkipping() override;

 private:
  TForm1& form_;
};

}  // namespace mokuren
