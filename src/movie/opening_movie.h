// OpeningMovie: the opening movie in the engine. It owns the movie player from start-up to shutdown,
// starts "op.ogv" for the script or the album with its sound, shows the frame due on every pass, puts it
// in the frame, and runs the waits that end with the movie or with the player's skip. Everything here runs
// on the engine thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "movie/movie_host.h"

namespace mokuren {

class ErrorList;
class MoviePlayer;
class Platform;
class TABitmap;

class OpeningMovie {
 public:
  // `gameDir` is read when the movie starts, so it may be set after construction.
  OpeningMovie(MovieHost& host, Platform& platform, ErrorList& errors, const std::filesystem::path& gameDir);
  ~OpeningMovie();
  OpeningMovie(const OpeningMovie&) = delete;
  OpeningMovie& operator=(const OpeningMovie&) = delete;

  // Creates the movie player: its decoders, the in-memory file and sound, the 8x8 picture (start-up).
  // Until then no movie starts.
  void Kuri_TheoraInit();
  // Releases the player (shutdown).
  void Kuri_TheoraFree();
  // Prepares the movie already loaded into the player's file; false (with the reason in the error list)
  // for a file that cannot play.
  bool Kuri_TheoraPrepara();
  // Is a movie's picture still due (the player's MoviePlaying)?
  bool MoviePlaying() const;
  // The movie step of every pass: shows the frame due now, marks the movie finished after its last frame.
  void MovieFrameStep();
  // Copies the movie frame onto the frame (composition, while a movie plays).
  void DrawMovieFrame(TABitmap& target);
  void Kumo_WaitMovie();
  void Kumo_WaitMovieAlbum();
  // The movie waits: over, with TaskCode = next, when the last frame has been shown and the sound has
  // stopped, or at once on Enter, Ctrl or a click, which end picture and sound together.
  void MovieWait(int32_t next);
  // Loads "op.ogv", prepares the decoder, puts the movie's sound on channel 1 and starts playing (script
  // opcode 25 and the album). A missing or unplayable file is reported and nothing plays, so the movie
  // wait that follows ends at once.
  void StartOpeningMovie();
  // The album's opening-movie item: the music stops, the movie starts, and the album's movie wait runs
  // until it ends or the player skips it.
  void StartAlbumMovie();

 private:
  MovieHost& host_;
  Platform& platform_;
  ErrorList& errors_;
  const std::filesystem::path& gameDir_;
  std::unique_ptr<MoviePlayer> player_;
};

}  // namespace mokuren
