#include "support/test_movie.h"

#include "ogg_encode.h"

namespace mokuren::testing {

std::string MakeTestMovie(const TestMovie& movie) {
  MovieEncoder encoder(movie.width, movie.height, movie.options);
  TABitmap frame(movie.width, movie.height);
  for (int n = 0; n < movie.frames; ++n) {
    movie.draw(frame, n);
    encoder.AddFrame(frame);
  }
  if (movie.options.soundChannels > 0 && movie.soundSeconds > 0) {
    const int channels = movie.options.soundChannels, rate = movie.options.soundRate;
    const std::vector<int16_t> sine = Sine(440, 12000, movie.soundSeconds, channels, rate);
    encoder.AddSound(sine.data(), sine.size() / static_cast<size_t>(channels));
  }
  return encoder.Finish();
}

std::function<void(TABitmap&, int)> FlatFrames(std::function<uint32_t(int n)> rgb) {
  return [rgb](TABitmap& frame, int n) {
    const uint32_t c = rgb(n);
    frame.FillRGB(static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c));
  };
}

}  // namespace mokuren::testing
