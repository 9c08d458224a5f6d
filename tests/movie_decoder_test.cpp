// The movie decoder on movies made by the tools' encoder: pictures of every chroma layout, at odd sizes
// and offsets, arrive upright and in place, whole or cut to a smaller surface; frames come on demand by number,
// forwards and back; the sound track comes whole as 16-bit stereo.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "movie/uTheoraLib_DLL.h"
#include "support/test_movie.h"

namespace mokuren::testing {
namespace {

// Reads a movie held in a string, drawing into a TABitmap the decoder resizes.
struct Harness {
  std::string file;
  TABitmap picture{8, 8};
  MovieFileSource Source() {
    return {[this](void* buffer, int64_t position, size_t count) -> size_t {
              if (position >= static_cast<int64_t>(file.size())) return 0;
              const size_t n = std::min(count, file.size() - static_cast<size_t>(position));
              std::memcpy(buffer, file.data() + position, n);
              return n;
            },
            [this] { return static_cast<int64_t>(file.size()); }};
  }
  MovieFrameTarget Target() {
    return {[this](int32_t y) { return picture.ScanLine(y); },
            [this](int32_t w, int32_t h) { picture.SetSize32(w, h); }};
  }
};

uint32_t Rgb(const TABitmap& s, int32_t x, int32_t y) {
  const uint8_t* p = s.ScanLine(y) + 4 * x;
  return static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
}

std::string Hex(uint32_t rgb) {
  char s[16];
  std::snprintf(s, sizeof s, "#%06X", rgb);
  return s;
}

// Within `tolerance` on each channel: the codec is lossy, flat areas come back within a few levels.
::testing::AssertionResult Near(uint32_t got, uint32_t want, int tolerance = 10) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((got >> shift) & 255) - static_cast<int>((want >> shift) & 255)) > tolerance)
      return ::testing::AssertionFailure() << Hex(got) << " is not near " << Hex(want);
  return ::testing::AssertionSuccess();
}

constexpr uint32_t kQuadrants[4] = {0xE02020, 0x20C040, 0x2040E0, 0xF0F0F0};  // top left, top right, ...

TEST(MovieDecoder, PicturesOfEveryLayoutArriveUprightAndInPlace) {
  const int32_t w = 37, h = 29;  // odd, and not a multiple of 16: the coded frame is larger
  for (MovieChroma chroma : {MovieChroma::k420, MovieChroma::k422, MovieChroma::k444})
    for (uint32_t offset : {0u, 5u}) {
      TestMovie movie;
      movie.width = w, movie.height = h, movie.frames = 2, movie.soundSeconds = 0;
      movie.options.soundChannels = 0;
      movie.options.chroma = chroma;
      movie.options.pictureX = offset, movie.options.pictureY = offset + 2;
      movie.draw = [&](TABitmap& f, int) {
        for (int32_t y = 0; y < h; ++y)
          for (int32_t x = 0; x < w; ++x) {
            const uint32_t c = kQuadrants[(y >= h / 2) * 2 + (x >= w / 2)];
            uint8_t* p = f.ScanLine(y) + 4 * x;
            p[0] = c & 255, p[1] = (c >> 8) & 255, p[2] = c >> 16;
          }
      };
      Harness m{MakeTestMovie(movie)};
      TTheoraVideoDecoder video;
      video.SetVReverse(true);
      ASSERT_TRUE(video.Load(m.Source(), m.Target())) << video.Problem();
      ASSERT_TRUE(video.DecodeFrame(0));
      ASSERT_EQ(m.picture.Width(), w);
      ASSERT_EQ(m.picture.Height(), h);
      const std::string where =
          "layout " + std::to_string(static_cast<int>(chroma)) + " offset " + std::to_string(offset);
      // Each quadrant's inside, away from the edges that lossy coding blurs; then pixels close to the
      // quadrants' borders, which a picture read a few pixels off would get wrong.
      EXPECT_TRUE(Near(Rgb(m.picture, 6, 5), kQuadrants[0])) << where;
      EXPECT_TRUE(Near(Rgb(m.picture, w - 6, 5), kQuadrants[1])) << where;
      EXPECT_TRUE(Near(Rgb(m.picture, 6, h - 5), kQuadrants[2])) << where;
      EXPECT_TRUE(Near(Rgb(m.picture, w - 6, h - 5), kQuadrants[3])) << where;
      EXPECT_TRUE(Near(Rgb(m.picture, w / 2 - 3, h / 2 - 3), kQuadrants[0], 48)) << where;
      EXPECT_TRUE(Near(Rgb(m.picture, w / 2 + 2, h / 2 + 2), kQuadrants[3], 48)) << where;
      // Drawn again straight onto a smaller surface (as the engine composes it): the same pixels, cut.
      TABitmap cut(w - 7, h - 4);
      ASSERT_TRUE(video.DrawPicture([&](int32_t y) { return cut.ScanLine(y); }, cut.Width(), cut.Height()));
      for (int32_t y = 0; y < cut.Height(); ++y)
        ASSERT_EQ(std::memcmp(cut.ScanLine(y), m.picture.ScanLine(y), static_cast<size_t>(cut.Width()) * 4), 0)
            << where << " row " << y;
      // Without the reversal the rows come bottom first.
      video.SetVReverse(false);
      ASSERT_TRUE(video.DecodeFrame(1));
      EXPECT_TRUE(Near(Rgb(m.picture, 6, 5), kQuadrants[2])) << where;
    }
}

TEST(MovieDecoder, FramesComeByNumberForwardsAndBack) {
  TestMovie movie;
  movie.frames = 24;
  movie.draw = FlatFrames([](int n) { return 0x010101u * static_cast<uint32_t>(20 + 9 * n); });
  Harness m{MakeTestMovie(movie)};
  TTheoraVideoDecoder video;
  ASSERT_TRUE(video.Load(m.Source(), m.Target())) << video.Problem();
  EXPECT_EQ(video.TotalFrame(), 24);
  EXPECT_EQ(video.Info().fpsNumerator, 10u);
  EXPECT_EQ(video.Info().fpsDenominator, 1u);
  EXPECT_EQ(video.Info().width, 160);
  for (int n : {5, 2, 2, 17, 9, 23, 0, 400}) {
    ASSERT_TRUE(video.DecodeFrame(n)) << n;
    const int shown = std::min(n, 23);
    EXPECT_TRUE(Near(Rgb(m.picture, 80, 60), 0x010101u * static_cast<uint32_t>(20 + 9 * shown), 4)) << "frame " << n;
  }
}

TEST(MovieDecoder, SoundTrackComesPieceByPieceAsStereo) {
  TestMovie movie;
  movie.frames = 5;
  movie.draw = FlatFrames([](int) { return 0x000000u; });
  movie.options.soundChannels = 1;
  movie.options.soundRate = 22050;
  movie.soundSeconds = 0.75;
  Harness m{MakeTestMovie(movie)};
  TTheoraAudioDecoder audio;
  ASSERT_TRUE(audio.Load(m.Source())) << audio.Problem();
  EXPECT_EQ(audio.SampleRate(), 22050);
  // In the pieces a refill asks for, to the track's end; nothing is written past the frames given.
  std::vector<int16_t> all(2 * 17000 + 2, 7);
  int64_t frames = 0;
  while (const int64_t got = audio.Read(all.data() + frames * 2, std::min<int64_t>(1000, 17000 - frames)))
    frames += got;
  ASSERT_EQ(frames, 16537);  // 0.75 s, to the sample
  EXPECT_EQ(all[2 * frames], 7);
  int16_t peak = 0;
  for (int64_t i = 0; i < frames * 2; i += 2) {
    ASSERT_EQ(all[i], all[i + 1]) << "a mono track is the same on both sides, frame " << i / 2;
    peak = std::max(peak, all[i]);
  }
  EXPECT_NEAR(peak, 12000, 1200);
}

}  // namespace
}  // namespace mokuren::testing
