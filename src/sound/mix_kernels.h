// The sample arithmetic of the mixer, in plain reference versions and the versions the mixer runs (SSE2
// on x86-64), which give the same samples for the same input. Rendering and mixing seven streams must cost
// little more than decoding them, so these loops are written for the vector units.
#pragma once

#include <cstdint>

namespace mokuren::mix {

// out[i] = in[i] * gain / 256 (64-bit, toward zero), saturated to 32 bits. gain is a stream's frame gain
// (at most 2^26 for the gains and fade levels the streams allow). With `mix`, its first `mixSamples`
// samples also get out[i] added as AddSaturating adds them.
void ScaleToInt32(const int16_t* in, int32_t* out, int32_t samples, int64_t gain, int32_t* mix = nullptr,
                  int32_t mixSamples = 0);
// accumulator[i] += add[i], saturated to 32 bits.
void AddSaturating(int32_t* accumulator, const int32_t* add, int32_t samples);
// The largest magnitude among the samples (2^31 for the most negative one); 0 for none.
uint32_t PeakMagnitude(const int32_t* samples, int32_t count);
// out[i] = in[i] * master / 256 (64-bit, toward zero), clipped to -32767 … 32767.
void ToInt16(const int32_t* in, int16_t* out, int32_t samples, int64_t master);

// The reference versions, written as the formulas read.
void ScaleToInt32Reference(const int16_t* in, int32_t* out, int32_t samples, int64_t gain);
void AddSaturatingReference(int32_t* accumulator, const int32_t* add, int32_t samples);
uint32_t PeakMagnitudeReference(const int32_t* samples, int32_t count);
void ToInt16Reference(const int32_t* in, int16_t* out, int32_t samples, int64_t master);

}  // namespace mokuren::mix
