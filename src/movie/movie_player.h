// MoviePlayer: the opening movie's player. It holds the movie file in memory, the two decoders, the
// decoded sound track and the timing of one playback. The engine
// (TForm1) owns one from start-up to shutdown, loads the file into it, puts its sound on channel 1 and
// runs its frame step on every pass; everything here runs on the engine thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/ABitmap.h"
#include "movie/uTheoraLib_DLL.h"
#include "sound/OggWuvorbisLib.h"

namespace mokuren {

class MoviePlayer {
 public:
  MoviePlayer();
  MoviePlayer(const MoviePlayer&) = delete;
  MoviePlayer& operator=(const MoviePlayer&) = delete;

  // Prepares the movie now in MovieFile: reads both streams, decodes the whole sound track into
  // MovieAudio and draws the first frame into MovieBitmap. False, with `problem` saying what is wrong,
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

  // The file, read whole.
  TMemoryStream MovieFile;
  // The decoded sound track: 16-bit stereo, AudioFrames frames at SampleRate.
  std::vector<int16_t> MovieAudio;
  // 1 while frames are still due.
  int32_t MoviePlaying = 0;
  int32_t TotalFrames = 0;
  double FrameRate = 0;
  int32_t SampleRate = 0;
  int64_t AudioFrames = 0;
  int32_t LastFrame = 0;  // the frame decoded last

 private:
  MovieFileSource Source();

  TTheoraVideoDecoder video_;
  TTheoraAudioDecoder audio_;
  uint32_t startTick_ = 0;
};

}  // namespace mokuren
