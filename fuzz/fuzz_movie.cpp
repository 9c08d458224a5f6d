// The opening movie comes from the game directory and may be anything. The player must either refuse the
// bytes with a reason or play them: page and packet handling, the headers, the picture's size and offset,
// the colour conversion and the sound track's decoding may not read or write outside their buffers or
// spin, whatever the file says. Frames are asked for forwards, backwards (the decoder starts over) and
// past the end, as a stalled or restarted playback would.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "movie/movie_player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mokuren;
  MoviePlayer player;
  player.SetFile(std::vector<uint8_t>(data, data + size));
  std::string problem;
  if (!player.Prepare(problem)) {
    if (problem.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  // The sound track decoded to its end, in the pieces a refill asks for; each piece must fit.
  if (auto sound = player.TakeSound()) {
    std::vector<int16_t> pcm(2 * 1000 + 2, 0x5A5A);
    while (sound->Read(pcm.data(), 1000) == 1000) {
    }
    if (pcm[2000] != 0x5A5A || pcm[2001] != 0x5A5A) std::abort();
    if (sound->Read(pcm.data(), 1000) != 0) std::abort();  // an ended track stays ended
  }
  // The movie's length in ms, kept to the clock's range.
  const double length = std::min(player.TotalFrames * 1000.0 / player.FrameRate, 4e9);
  player.Start(0);
  // The pictures are converted when drawn, onto a frame smaller than most so that cutting is exercised.
  TABitmap frame(320, 240);
  player.DrawFrame(frame);
  for (double at : {0.5, 0.25, 0.9, 1.0, 1.5}) {
    player.FrameStep(static_cast<uint32_t>(length * at) + static_cast<uint32_t>(at * 100));
    player.DrawFrame(frame);
  }
  return 0;
}
