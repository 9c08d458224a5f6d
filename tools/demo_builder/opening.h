// The demo's opening movie "op.ogv": magnolia petals falling through the title's night sky, the game's
// name fading in, and the title theme played as a music box.
#pragma once

#include <cstdint>
#include <filesystem>

namespace mokuren::demo {

struct OpeningSize {
  int32_t width = 800, height = 600;
  double seconds = 10.0;
};

// Draws and encodes the movie into `file`, printing its progress. The same movie at another size or
// length (a small one seeds the movie decoder's fuzzing) is the full one scaled down or cut short.
void MakeOpeningMovie(const std::filesystem::path& file, const OpeningSize& size = {});

}  // namespace mokuren::demo
