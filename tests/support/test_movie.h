// Small movies made in the tests with the tools' encoder: frames of flat colours (or of a picture drawn
// per frame) and a sine as the sound track.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "graphics/ABitmap.h"
#include "toolkit/theora_encoder.h"

namespace mokuren::testing {

struct TestMovie {
  int32_t width = 160, height = 120;
  int frames = 20;
  // Draws frame n (the surface comes filled with the previous frame's picture).
  std::function<void(TABitmap& frame, int n)> draw;
  MovieEncodeOptions options = {10, 1, 48, 8};  // 10 frames a second, good quality, a key frame every 8
  double soundSeconds = 2.0;                    // 0: no sound track
};

std::string MakeTestMovie(const TestMovie& movie);
// A drawing that fills each frame with the colour rgb(n) (0xRRGGBB).
std::function<void(TABitmap&, int)> FlatFrames(std::function<uint32_t(int n)> rgb);

}  // namespace mokuren::testing
