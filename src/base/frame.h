// The game's picture: every composed frame, scene surface and full-screen page is 800 x 600, and the
// message window takes the bottom 184 rows of it.
#pragma once

#include <cstdint>

namespace mokuren {

inline constexpr int32_t kFrameWidth = 800;
inline constexpr int32_t kFrameHeight = 600;

// The message window's band of the frame, which is also the floating window's whole picture.
inline constexpr int32_t kMessageWindowTop = 416;
inline constexpr int32_t kMessageWindowHeight = kFrameHeight - kMessageWindowTop;

}  // namespace mokuren
