// The title menu's layout: five items in one column, each 308 x 44, from (110, 88) down to y 307. The
// sheet (system picture 63) holds every item's highlighted look at the item's own place, and the
// switched-on look of the opening-movie item beside it at (418, 220).
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace mokuren::title_menu {

inline constexpr int32_t kBackgroundEntry = 61;
inline constexpr int32_t kSheetEntry = 63;
inline constexpr int32_t kItemLeft = 110;
inline constexpr int32_t kItemRight = 417;
inline constexpr int32_t kItemWidth = 308;
inline constexpr int32_t kItemHeight = 44;
inline constexpr int32_t kFirstItemTop = 88;
inline constexpr int32_t kItemCount = 5;
inline constexpr int32_t kMovieSwitchSheetX = 418;
inline constexpr int32_t kMovieSwitchY = 220;
// SystemVars entry of the opening-movie switch: 0 = off, -1 = on (the movie is skipped).
inline constexpr int kMovieSwitchVar = 451;
// The menu music when none was chosen in the music room.
inline constexpr int32_t kDefaultMusic = 8;

enum Item : int32_t { None = 0, Start = 1, Load = 2, Album = 3, MovieSwitch = 4, Quit = 5 };

// The item under a point of the main window's client area, None outside the column.
constexpr int32_t ItemAt(Point p) {
  if (p.x < kItemLeft || p.x > kItemRight) return None;
  if (p.y < kFirstItemTop || p.y >= kFirstItemTop + kItemCount * kItemHeight) return None;
  return (p.y - kFirstItemTop) / kItemHeight + 1;
}

constexpr int32_t ItemTop(int32_t item) { return kFirstItemTop + (item - 1) * kItemHeight; }

}  // namespace mokuren::title_menu
