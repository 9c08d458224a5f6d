// What the opening movie asks of the rest of the engine: the movie's sound, the music, the task that runs
// next and the player's input of this pass. The platform (for the clock), the error list and the game
// folder it is given at construction. The engine's link (app/movie_link.h) is the one implementation.
#pragma once

#include <cstdint>
#include <memory>

#include "sound/pcm_source.h"

namespace mokuren {

class MovieHost {
 public:
  // The movie's sound track at `rate`, decoded as it plays, played once beside the music.
  virtual void PlayMovieSound(std::unique_ptr<PcmSource> sound, int rate) = 0;
  virtual void StopMovieSound() = 0;
  virtual bool MovieSoundPlaying() = 0;
  // The music stops (the album's movie plays alone).
  virtual void StopMusic() = 0;
  virtual void SetTaskCode(int32_t taskCode) = 0;
  // Enter, Ctrl, or a click not yet acted on, in this pass: the player skips the movie.
  virtual bool SkipPressed() = 0;
  // Forgets a click not yet acted on, so that it cannot skip a movie that starts now.
  virtual void DropPendingClick() = 0;

 protected:
  ~MovieHost() = default;
};

}  // namespace mokuren
