// Encodes movies as Ogg Theora video with an optional Vorbis sound track (libtheoraenc, libvorbisenc).
// The engine never encodes; the demo builder makes the opening movie with it, and the tests, the
// benchmarks and the fuzz corpus make small movies of known content.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/ABitmap.h"

namespace mokuren {

enum class MovieChroma : uint8_t { k420, k422, k444 };

struct MovieEncodeOptions {
  uint32_t fpsNumerator = 30;
  uint32_t fpsDenominator = 1;
  int quality = 40;           // Theora's quality index, 0-63
  int keyframeInterval = 64;  // at most this many frames between key frames
  MovieChroma chroma = MovieChroma::k420;
  // Where the picture lies in the coded frame (whose size is rounded up to 16): tests of odd offsets.
  uint32_t pictureX = 0, pictureY = 0;
  // The sound track: 0 channels = none.
  int soundChannels = 2;
  int soundRate = 44100;
  float soundQuality = 0.4f;  // libvorbisenc's VBR quality
};

// Frames go in one by one (a movie never has to be held whole as pictures); the file comes out of Finish.
class MovieEncoder {
 public:
  // Fails (Ok() false) for a size the encoder refuses.
  MovieEncoder(int32_t width, int32_t height, const MovieEncodeOptions& options = {});
  ~MovieEncoder();
  MovieEncoder(const MovieEncoder&) = delete;
  MovieEncoder& operator=(const MovieEncoder&) = delete;

  bool Ok() const;
  // One picture of the movie's size (blue, green, red; byte 3 is not read).
  void AddFrame(const TABitmap& frame);
  // Interleaved 16-bit samples of the sound track, in any number of calls.
  void AddSound(const int16_t* samples, size_t frames);
  // Ends both streams and returns the whole file, pages of video and sound interleaved in time order.
  std::string Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace mokuren
