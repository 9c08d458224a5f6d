// The opening movie in the engine: starting it from the script or the album, its frame step, its place
// in the frame and the waits that end with it or with the player's click.
#include "base/error_texts.h"
#include "movie/opening_movie.h"

#include <fstream>

#include "base/error_list.h"
#include "base/task_codes.h"
#include "base/text_codec.h"
#include "movie/movie_player.h"
#include "platform/game_files.h"
#include "platform/platform.h"

namespace mokuren {

namespace {

constexpr char kMovieFile[] = "op.ogv";
// The whole file is held in memory; an opening movie is a few megabytes, and a file this large is a
// mistake that would only exhaust memory.
constexpr uintmax_t kMaxMovieBytes = uintmax_t{1} << 30;

// The error list's line for a movie that cannot play.

}  // namespace

OpeningMovie::OpeningMovie(MovieHost& host, Platform& platform, ErrorList& errors, const std::filesystem::path& gameDir)
    : host_(host), platform_(platform), errors_(errors), gameDir_(gameDir) {}

OpeningMovie::~OpeningMovie() = default;

void OpeningMovie::Kuri_TheoraInit() { player_ = std::make_unique<MoviePlayer>(); }

void OpeningMovie::Kuri_TheoraFree() { player_.reset(); }

bool OpeningMovie::Kuri_TheoraPrepara() {
  std::string problem;
  if (!player_) return false;
  if (player_->Prepare(problem)) return true;
  errors_.Add(error_text::kMovieSkipped, {{u"file", FromUtf8(kMovieFile)}, {u"problem", FromUtf8(problem)}});
  return false;
}

bool OpeningMovie::MoviePlaying() const { return player_ && player_->MoviePlaying == 1; }

void OpeningMovie::MovieFrameStep() {
  if (player_) player_->FrameStep(platform_.TickCount());
}

void OpeningMovie::DrawMovieFrame(TABitmap& target) { player_->DrawFrame(target); }

void OpeningMovie::StartOpeningMovie() {
  if (!player_) return;
  // Whatever played before stops, whether or not this movie can play.
  player_->MoviePlaying = 0;
  host_.StopMovieSound();
  const std::filesystem::path path = FindGameFile(gameDir_, kMovieFile);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    errors_.Add(error_text::kFileMissing, {{u"file", FromUtf8(kMovieFile)}});
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
    errors_.Add(error_text::kMovieSkipped, {{u"file", FromUtf8(kMovieFile)}, {u"problem", FromUtf8(problem)}});
    return;
  }
  player_->SetFile(std::move(bytes));
  if (!Kuri_TheoraPrepara()) return;
  // Picture and sound start together; from here the picture follows the clock and the sound runs free,
  // decoded as it plays.
  host_.PlayMovieSound(player_->TakeSound(), player_->SampleRate);
  player_->Start(platform_.TickCount());
}

void OpeningMovie::StartAlbumMovie() {
  host_.StopMusic();
  StartOpeningMovie();
  host_.DropPendingClick();
  host_.SetTaskCode(task::WaitMovieAlbum);
}

void OpeningMovie::MovieWait(int32_t next) {
  if (!host_.MovieSoundPlaying() && !MoviePlaying()) host_.SetTaskCode(next);
  if (host_.SkipPressed()) {
    if (player_) player_->MoviePlaying = 0;
    host_.StopMovieSound();
    host_.SetTaskCode(next);
  }
}

void OpeningMovie::Kumo_WaitMovie() { MovieWait(task::Script); }

void OpeningMovie::Kumo_WaitMovieAlbum() { MovieWait(task::AlbumMenuOpen); }

}  // namespace mokuren
