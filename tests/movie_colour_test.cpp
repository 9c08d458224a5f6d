// The movie's colour conversion: the reference against the studio-range colours it must reproduce, and
// every fast kernel set against the reference, for every input value and for rows of every length.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "movie/ycbcr_kernels.h"

namespace mokuren {
namespace {

std::vector<PixelKernels> FastKernels() {
  std::vector<PixelKernels> out;
  for (PixelKernels k : {PixelKernels::Sse2, PixelKernels::Avx2})
    if (PixelKernelsAvailable(k)) out.push_back(k);
  return out;
}

TEST(MovieColour, ReferenceGivesTheStudioRangeColours) {
  struct Case {
    uint8_t y, cb, cr;
    int r, g, b;
  };
  // BT.601 studio range: black and white at 16 and 235, the primaries at their usual codes.
  const Case cases[] = {{16, 128, 128, 0, 0, 0},  {235, 128, 128, 255, 255, 255}, {81, 90, 240, 255, 0, 0},
                        {145, 54, 34, 0, 255, 0}, {41, 240, 110, 0, 0, 255},      {126, 128, 128, 128, 128, 128},
                        {0, 0, 0, 0, 135, 0},     {255, 255, 255, 255, 125, 255}};
  for (const Case& c : cases) {
    uint8_t px[4];
    kernels::YCbCrRowScalar(&c.y, &c.cb, &c.cr, px, 1, 0);
    EXPECT_NEAR(px[2], c.r, 1) << int{c.y} << "," << int{c.cb} << "," << int{c.cr};
    EXPECT_NEAR(px[1], c.g, 1) << int{c.y} << "," << int{c.cb} << "," << int{c.cr};
    EXPECT_NEAR(px[0], c.b, 1) << int{c.y} << "," << int{c.cb} << "," << int{c.cr};
    EXPECT_EQ(px[3], 0);
  }
}

TEST(MovieColour, FastKernelsEqualTheReferenceForEveryInput) {
  // Each row holds all 256 luma values against one chroma pair; 65536 rows cover every input.
  std::vector<uint8_t> y(256), cb(256), cr(256), want(1024), got(1024);
  for (int i = 0; i < 256; ++i) y[i] = static_cast<uint8_t>(i);
  for (PixelKernels k : FastKernels()) {
    const kernels::YCbCrRowKernel fast = kernels::YCbCrRowFor(k);
    for (int b = 0; b < 256; ++b)
      for (int r = 0; r < 256; ++r) {
        std::fill(cb.begin(), cb.end(), static_cast<uint8_t>(b));
        std::fill(cr.begin(), cr.end(), static_cast<uint8_t>(r));
        kernels::YCbCrRowScalar(y.data(), cb.data(), cr.data(), want.data(), 256, 0);
        fast(y.data(), cb.data(), cr.data(), got.data(), 256, 0);
        ASSERT_EQ(got, want) << PixelKernelsName(k) << " Cb " << b << " Cr " << r;
      }
  }
}

TEST(MovieColour, FastKernelsEqualTheReferenceOnRowsOfEveryLength) {
  std::mt19937 rng(20261208);
  std::uniform_int_distribution<int> byte(0, 255), length(1, 90);
  for (int round = 0; round < 2000; ++round) {
    const int32_t pixels = round < 90 ? round + 1 : round % 7 == 0 ? 800 : length(rng);
    const int shift = round % 2;
    const size_t chroma = static_cast<size_t>(((pixels - 1) >> shift) + 1);
    // Buffers exactly as long as the samples a row uses: a kernel reading further fails under the
    // sanitizers.
    std::vector<uint8_t> y(static_cast<size_t>(pixels)), cb(chroma), cr(chroma);
    for (auto* v : {&y, &cb, &cr})
      for (uint8_t& s : *v) s = static_cast<uint8_t>(byte(rng));
    std::vector<uint8_t> want(static_cast<size_t>(pixels) * 4);
    kernels::YCbCrRowScalar(y.data(), cb.data(), cr.data(), want.data(), pixels, shift);
    for (PixelKernels k : FastKernels()) {
      std::vector<uint8_t> got(want.size());
      kernels::YCbCrRowFor(k)(y.data(), cb.data(), cr.data(), got.data(), pixels, shift);
      ASSERT_EQ(got, want) << PixelKernelsName(k) << " round " << round << ", " << pixels << " pixels, shift " << shift;
    }
  }
}

}  // namespace
}  // namespace mokuren
