// MoviePlayer: the opening movie's player. It holds the movie file in memory, the picture's decoder, the
// sound track's decoder until the sound system takes it, and the timing of one playback. The engine
// (TForm1) owns one from start-up to shutdown, loads the file into it, hands its sound to channel 1 and
// runs its frame step on every pass; everything here runs on the engine thread, but for the sound's
// decoder, which decodes where the sound system's refills run and shares only the file's bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/ABitmap.h"
#include "movie/uTheoraLib_DLL.h"

namespace mokuren {

class MoviePlayer {
 public:
  MoviePlayer();
  MoviePlayer(const MoviePlayer&) = delete;
  MoviePlayer& operator=(const MoviePlayer&) = delete;

  // The movie file, read whole; the bytes are shared with the decoders, which only read them.
  void SetFile(std::vector<uint8_t> bytes);
  int64_t FileSize() const { return file_ ? static_cast<int64_t>(file_->size()) : 0; }

  // Prepares the movie given to SetFile: reads both streams' headers, makes the sound track's decoder
  // ready (TakeSound) and decodes the first picture. False, with `problem` saying what is wrong,
  // for a file that must not play (no picture or no sound, damaged, cut off); the state of the
  // previous preparation is then gone, so nothing of an earlier movie can play instead.
  bool Prepare(std::string& problem);
  // Starts the pictures at `tick` (the sound is the engine's to start at the same moment).
  void Start(uint32_t tick);
  // The frame due at `now` is decoded, unless it is the one decoded last; once the due frame is past
  // the last one, the last is decoded and MoviePlaying goes to 0. At most one frame is decoded per call.
  void FrameStep(uint32_t now);
  // Draws the frame decoded last onto `target` at its top-left corner, converted straight from the
  // decoder's planes (no picture of its own in between, so a frame costs one pass over the target), and
  // black where the picture does not reach; all black before any frame was decoded.
  void DrawFrame(TABitmap& target) const;
  // The sound track of the movie prepared last, ready to decode from its start, at SampleRate; null when
  // there is none or it was taken already.
  std::unique_ptr<TTheoraAudioDecoder> TakeSound() { return std::move(sound_); }

  // 1 while frames are still due.
  int32_t MoviePlaying = 0;
  int32_t TotalFrames = 0;
  double FrameRate = 0;
  int32_t SampleRate = 0;
  int32_t LastFrame = 0;  // the frame decoded last

 private:
  MovieFileSource Source();

  std::shared_ptr<const std::vector<uint8_t>> file_;
  TTheoraVideoDecoder video_;
  std::unique_ptr<TTheoraAudioDecoder> sound_;
  uint32_t startTick_ = 0;
};

}  // namespace mokuren
