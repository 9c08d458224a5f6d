// The SYSGRP.DAT pictures the engine loads at start-up, in loading order, with the placement each goes to
// (Kumo_ReadGraphic): the message window's frame, the system sheet, the two choice bands, and the
// on-screen buttons 3-10 in their five looks. The lint checks a game against the same list.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace mokuren {

struct SystemPicture {
  int32_t placement;
  int32_t entry;
  const char* role;  // what the player would miss without it
};

inline constexpr size_t kStartupSystemPictureCount = 4 + 4 * 8 + 8;

inline constexpr std::array<SystemPicture, kStartupSystemPictureCount> kStartupSystemPictures = [] {
  std::array<SystemPicture, kStartupSystemPictureCount> list{};
  size_t k = 0;
  list[k++] = {10, 1, "the message window's frame"};
  list[k++] = {51, 51, "the system sheet (the waiting icon and the floating window's background)"};
  list[k++] = {52, 52, "the choice band"};
  list[k++] = {53, 53, "the highlighted choice band"};
  // Buttons 3-10: looks 0-3 at entries 13-20, 23-30, 33-40, 43-50 (placements of the same numbers), then
  // the disabled look at entries 3-10 (placements 103-110).
  for (int32_t look = 0; look <= 3; ++look)
    for (int32_t entry = 13 + 10 * look; entry <= 20 + 10 * look; ++entry)
      list[k++] = {entry, entry, "an on-screen button"};
  for (int32_t entry = 3; entry <= 10; ++entry) list[k++] = {100 + entry, entry, "an on-screen button"};
  return list;
}();

// A return to the title or a scene replay loads only the first four again.
inline constexpr size_t kReloadedSystemPictureCount = 4;

}  // namespace mokuren
