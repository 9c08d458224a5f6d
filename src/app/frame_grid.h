// The main loop's grid of frames: 30 a second, kept as a fractional tick (NextFrameTime).
#pragma once

namespace mokuren {

inline constexpr double kFrameInterval = 100.0 / 3.0;  // 33.333333333333336 ms

}  // namespace mokuren
