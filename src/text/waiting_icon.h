// The waiting icon's clock: a message that waits for the player shows an icon of eight frames, each for
// 55 ms of the clock.
#pragma once

#include <cstdint>

namespace mokuren {

inline constexpr uint32_t kWaitingIconFrameMs = 55;

// The icon's frame (0-7) at tick `now`.
constexpr int32_t WaitingIconFrame(uint32_t now) { return static_cast<int32_t>((now / kWaitingIconFrameMs) % 8); }
// The tick of the icon's next turn after `now`.
constexpr uint32_t WaitingIconNextTurn(uint32_t now) { return (now / kWaitingIconFrameMs + 1) * kWaitingIconFrameMs; }

}  // namespace mokuren
