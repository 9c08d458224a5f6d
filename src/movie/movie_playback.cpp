// The opening movie in the engine: starting it from the script or the album, its frame step, its place
// in the frame and the waits that end with it or with the player's click.
#include <fstream>

#include "app/TForm1.h"
#include "graphics/ABitmapFilters32.h"
#include "movie/movie_player.h"
#include "platform/game_files.h"
#include "base/text_codec.h"

namespace mokuren {

namespace {

constexpr char kMovieFile[] = "op.ogv";
// The whole file is held in memory; an opening movie is a few megabytes, and a file this large is a
// mistake that would only exhaust memory.
constexpr uintmax_t kMaxMovieBytes = uintmax_t{1} << 30;

// The error list's line for a movie that cannot play.
std::u16string Skipped(const std::string& problem) {
  return FromUtf8(std::string(kMovieFile) + ": " + problem + "; the movie is skipped");
}

}  // namespace

void TForm1::MoviePlayerDeleter::operator()(MoviePlayer* p) const { delete p; }

void TForm1::Kuri_TheoraInit() { Movie.reset(new MoviePlayer); }

void TForm1::Kuri_TheoraFree() { Movie.reset(); }

bool TForm1::Kuri_TheoraPrepara() {
  std::string problem;
  if (!Movie) return false;
  if (Movie->Prepare(problem)) return true;
  ReportError(Skipped(problem));
  return false;
}

bool TForm1::MoviePlaying() const { return Movie && Movie->MoviePlaying == 1; }

void TForm1::MovieFrameStep() {
  if (Movie) Movie->FrameStep(platform_.TickCount());
}

void TForm1::DrawMovieFrame(TABitmap& target) { Movie->DrawFrame(target); }

void TForm1::StartOpeningMovie() {
  if (!Movie) return;
  // Whatever played before stops, whether or not this movie can play.
  Movie->MoviePlaying = 0;
  StopMovieSound();
  const std::filesystem::path path = FindGameFile(GameDir, kMovieFile);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    ReportError(FromUtf8(kMovieFile) + u"が見つかりません");
    return;
  }
  const uintmax_t size = std::filesystem::file_size(path, ec);
  std::string problem;
  std::vector<uint8_t> bytes;
  if (ec) {
    problem = "cannot be read (" + ec.message() + ")";
  } else if (size == 0) {
    problem = "the file is empty";
  } else if (size > kMaxMovieBytes) {
    problem = "the file is larger than 1 GiB";
  } else {
    bytes.resize(static_cast<size_t>(size));
    std::ifstream in(path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) problem = "cannot be read";
  }
  if (!problem.empty()) {
    ReportError(Skipped(problem));
    return;
  }
  Movie->MovieFile = TMemoryStream(std::move(bytes));
  if (!Kuri_TheoraPrepara()) return;
  // Picture and sound start together; from here the picture follows the clock and the sound runs free.
  PlayMovieSound(Movie->MovieAudio, Movie->SampleRate);
  Movie->Start(platform_.TickCount());
}

void TForm1::StartAlbumMovie() {
  Kumo_PlayBGM(0, 0, Block->Live.BgmVariant, 0);
  StartOpeningMovie();
  ClickPending = 0;
  TaskCode = task::WaitMovieAlbum;
}

void TForm1::MovieWait(int32_t next) {
  if (!MovieSoundPlaying() && !MoviePlaying()) TaskCode = next;
  if (KeyEnter || KeyCtrl || ClickPending) {
    if (Movie) Movie->MoviePlaying = 0;
    StopMovieSound();
    TaskCode = next;
  }
}

void TForm1::Kumo_WaitMovie() { MovieWait(task::Script); }

void TForm1::Kumo_WaitMovieAlbum() { MovieWait(task::AlbumMenuOpen); }

}  // namespace mokuren
