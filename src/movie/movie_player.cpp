#include "movie/movie_player.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/ABitmapFilters32.h"

namespace mokuren {

namespace {

// The rates the sound device plays; a wave of any other is refused by the device, which would take the
// game's whole sound down with it.
constexpr int32_t kMinRate = 100, kMaxRate = 200000;

}  // namespace

MoviePlayer::MoviePlayer() { video_.SetVReverse(true); }

void MoviePlayer::SetFile(std::vector<uint8_t> bytes) {
  file_ = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
}

MovieFileSource MoviePlayer::Source() {
  // Each reader holds the bytes itself, so a decoder handed on outlives the player's next file.
  std::shared_ptr<const std::vector<uint8_t>> file = file_ ? file_ : std::make_shared<const std::vector<uint8_t>>();
  return {[file](void* buffer, int64_t position, size_t count) -> size_t {
            if (position < 0 || static_cast<uint64_t>(position) >= file->size()) return 0;
            const size_t n = std::min(count, file->size() - static_cast<size_t>(position));
            std::memcpy(buffer, file->data() + position, n);
            return n;
          },
          [file] { return static_cast<int64_t>(file->size()); }};
}

bool MoviePlayer::Prepare(std::string& problem) {
  MoviePlaying = 0;
  TotalFrames = 0;
  FrameRate = 0;
  SampleRate = 0;
  sound_.reset();
  if (!video_.Load(Source(), MovieFrameTarget{}) || video_.Truncated()) {
    problem = video_.Problem();
    return false;
  }
  auto sound = std::make_unique<TTheoraAudioDecoder>();
  if (!sound->Load(Source()) || sound->Truncated()) {
    problem = sound->Problem();
    return false;
  }
  if (sound->SampleRate() < kMinRate || sound->SampleRate() > kMaxRate) {
    problem = "the sound track's rate of " + std::to_string(sound->SampleRate()) + " Hz cannot be played";
    return false;
  }
  TotalFrames = video_.TotalFrame();
  FrameRate = static_cast<double>(video_.Info().fpsNumerator) / video_.Info().fpsDenominator;
  SampleRate = sound->SampleRate();
  sound_ = std::move(sound);
  // The first picture is there from the start, so the first pass of the playback has it to show.
  video_.DecodePicture(0);
  LastFrame = 0;
  return true;
}

void MoviePlayer::Start(uint32_t tick) {
  MoviePlaying = 1;
  startTick_ = tick;
}

void MoviePlayer::FrameStep(uint32_t now) {
  if (MoviePlaying != 1) return;
  // The frame due now, halves rounded to even; the difference wraps with the 32-bit clock.
  const double due = std::nearbyint(static_cast<double>(now - startTick_) * FrameRate / 1000.0);
  const int32_t frame = due > TotalFrames ? TotalFrames + 1 : static_cast<int32_t>(due);
  if (frame == LastFrame) return;
  LastFrame = frame;
  if (frame <= TotalFrames) {
    video_.DecodePicture(frame);
  } else {
    video_.DecodePicture(TotalFrames);
    MoviePlaying = 0;
  }
}

void MoviePlayer::DrawFrame(TABitmap& target) const {
  if (!target.IsValid()) return;
  const int32_t width = std::min(video_.Info().width, target.Width());
  const int32_t height = std::min(video_.Info().height, target.Height());
  const bool drawn = video_.DrawPicture(
      [&target](int32_t y) { return y < target.Height() ? target.ScanLine(y) : nullptr; }, width, height);
  // A picture smaller than the window stands on black rather than on the scene.
  const int32_t right = drawn ? width : 0, bottom = drawn ? height : 0;
  FillRect(target, right, 0, target.Width(), target.Height(), 0, 0, 0);
  FillRect(target, 0, bottom, target.Width(), target.Height(), 0, 0, 0);
}

}  // namespace mokuren
