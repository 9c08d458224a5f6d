// Members of TForm1 for the opening movie. Included inside TForm1's class body.

// Creates the movie player: its decoders, the in-memory file and sound, the 8x8 picture (start-up).
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

struct MoviePlayerDeleter {
  void operator()(MoviePlayer* p) const;
};
std::unique_ptr<MoviePlayer, MoviePlayerDeleter> Movie;
