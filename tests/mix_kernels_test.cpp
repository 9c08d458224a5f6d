// The mixer's vector loops against their reference versions, on random samples of every size and gain,
// extremes included.
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

#include "sound/mix_kernels.h"

namespace mokuren::mix {
namespace {

template <typename T>
std::vector<T> Random(std::mt19937& rng, size_t n) {
  std::vector<T> v(n);
  for (T& x : v) {
    const uint32_t r = rng();
    // One sample in eight at a limit of the type, so saturation and clipping are reached.
    x = r % 8 == 0 ? (r & 8 ? std::numeric_limits<T>::max() : std::numeric_limits<T>::min())
                   : static_cast<T>(static_cast<int64_t>(rng()) - (int64_t{1} << 31));
  }
  return v;
}

TEST(MixKernels, EqualTheReferenceForEverySizeGainAndExtreme) {
  std::mt19937 rng(20261208);
  for (int32_t n : {0, 1, 7, 8, 9, 31, 64, 1023}) {
    for (int64_t gain : {int64_t{0}, int64_t{77}, int64_t{256}, int64_t{32767}, int64_t{32768}, int64_t{1} << 26}) {
      const auto in = Random<int16_t>(rng, static_cast<size_t>(n));
      const auto start = Random<int32_t>(rng, static_cast<size_t>(n));
      for (int32_t mixed : {0, n / 2 + 1, n}) {
        std::vector<int32_t> out(in.size()), want(in.size()), mix = start, wantMix = start;
        ScaleToInt32(in.data(), out.data(), n, gain, mix.data(), mixed);
        ScaleToInt32Reference(in.data(), want.data(), n, gain);
        AddSaturatingReference(wantMix.data(), want.data(), std::min(mixed, n));
        ASSERT_EQ(out, want) << n << " " << gain;
        ASSERT_EQ(mix, wantMix) << n << " " << gain << " " << mixed;
      }
      std::vector<int16_t> pcm(in.size()), wantPcm(in.size());
      for (int64_t master : {int64_t{256}, int64_t{128}, gain}) {
        ToInt16(start.data(), pcm.data(), n, master);
        ToInt16Reference(start.data(), wantPcm.data(), n, master);
        ASSERT_EQ(pcm, wantPcm) << n << " " << master;
      }
      ASSERT_EQ(PeakMagnitude(start.data(), n), PeakMagnitudeReference(start.data(), n)) << n;
    }
  }
}

}  // namespace
}  // namespace mokuren::mix
