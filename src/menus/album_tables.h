// What the album holds: the event pictures of each gallery slot and the scene of each replay slot. It
// needs nothing of the engine, so the tools that check a game's data against the album include it too.
#pragma once

#include <array>
#include <cstdint>

namespace mokuren::album {

inline constexpr int kPages = 10;         // both galleries
inline constexpr int kSlotsPerPage = 10;  // slots 1-10 of a page
inline constexpr int kMaxVariants = 6;    // pictures of one gallery slot
inline constexpr int16_t kNone = -1;      // no picture, no scene

// GRAPHIC.DAT entries of the event pictures: [page - 1][slot - 1][variant - 1], kNone after the last
// variant. A slot is unlocked once its first picture has been shown.
using EventPictureTable = std::array<std::array<std::array<int16_t, kMaxVariants>, kSlotsPerPage>, kPages>;
// Script numbers of the replayable scenes: [(page - 1) * 10 + slot - 1], kNone for an empty slot.
using EventSceneList = std::array<int16_t, kPages * kSlotsPerPage>;

// The game's album.
extern const EventPictureTable kStandardCgTable;
extern const EventSceneList kStandardSceneList;

// The system variable whose being non-zero unlocks scene `scene` in the replay gallery.
constexpr int SceneUnlockVar(int scene) { return scene + 100; }

}  // namespace mokuren::album
