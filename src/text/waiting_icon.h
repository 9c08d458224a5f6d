// The waiting icon's clock: a message that waits for the player shows an icon of eight frames, each for
// 55 ms of the clock, from the moment the message began to wait.
#pragma once

#include <cstdint>

namespace mokuren {

inline constexpr uint32_t kWaitingIconFrameMs = 55;

// The icon's frame (0-7) when the message has waited `now` ms.
constexpr int32_t WaitingIconFrame(uint32_t now) { return static_cast<int32_t>((now / kWaitingIconFrameMs) % 8); }
// When the icon next turns after it has waited `now` ms.
constexpr uint32_t WaitingIconNextTurn(uint32_t now) { return (now / kWaitingIconFrameMs + 1) * kWaitingIconFrameMs; }

}  // namespace mokuren
