// Members of TForm1 for the opening movie. Included inside TForm1's class body.

void Kuri_TheoraInit();
void Kuri_TheoraFree();
bool MoviePlaying() const;
// The movie step of every pass: shows the frame due now, marks the movie finished after its last frame.
void MovieFrameStep();
// Copies the movie frame onto the frame (the frame step, while a movie plays).
void DrawMovieFrame(TABitmap& target);
void Kumo_WaitMovie();
void Kumo_WaitMovieAlbum();
// Loads "op.ogv", prepares the decoder, puts the movie's sound on channel 1 and starts playing
// (script opcode 25 and the album).
void StartOpeningMovie();
