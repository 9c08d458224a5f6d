// The engine's side of the opening movie's host: what OpeningMovie asks, answered by the sound subsystem
// and from TForm1's task and input.
#pragma once

#include "movie/movie_host.h"

namespace mokuren {

class TForm1;

class MovieLink final : public MovieHost {
 public:
  explicit MovieLink(TForm1& form) : form_(form) {}

  void PlayMovieSound(std::unique_ptr<PcmSource> sound, int rate) override;
  void StopMovieSound() override;
  bool MovieSoundPlaying() override;
  // Track 0, in the version the save records, is silence.
  void StopMusic() override;
  void SetTaskCode(int32_t taskCode) override;
  bool SkipPressed() override;
  void DropPendingClick() override;

 private:
  TForm1& form_;
};

}  // namespace mokuren
