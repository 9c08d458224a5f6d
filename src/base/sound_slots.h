// The mixer's slots by role. Each slot plays one stream of the same number; effect position p (1-3)
// plays in slot p + 2.
#pragma once

namespace mokuren::stream {

inline constexpr int MusicA = 0;
inline constexpr int MusicB = 1;
inline constexpr int EffectFirst = 2;  // effect position 0; positions 1..3 follow
inline constexpr int Voice = 6;
inline constexpr int Count = 7;

// The slot of effect position p (1-3).
constexpr int EffectSlot(int position) { return EffectFirst + position; }

}  // namespace mokuren::stream
