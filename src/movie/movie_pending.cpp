// Movie operations not built yet: no movie ever plays.
#include "app/TForm1.h"

namespace mokuren {

void TForm1::Kuri_TheoraInit() {}
void TForm1::Kuri_TheoraFree() {}
bool TForm1::MoviePlaying() const { return false; }
void TForm1::MovieFrameStep() {}
void TForm1::DrawMovieFrame(TABitmap&) {}
void TForm1::StartOpeningMovie() {}
void TForm1::Kumo_WaitMovie() { TaskCode = task::Script; }
void TForm1::Kumo_WaitMovieAlbum() { TaskCode = task::AlbumMenuOpen; }

}  // namespace mokuren
