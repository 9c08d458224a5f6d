// The album screens' layout: their system pictures, where the pointer hits an item, and the sheet
// rectangles that hold the highlighted and locked looks. Each screen is a background (drawn with every
// thumbnail in place) and a sheet; the looks are copied out of the sheet by rectangle.
#pragma once

#include <array>
#include <cstdint>

#include "platform/platform.h"

namespace mokuren::album {

// A rectangle of the screen or of a sheet.
struct Area {
  int32_t x, y, w, h;
  constexpr bool Contains(Point p) const { return p.x >= x && p.x < x + w && p.y >= y && p.y < y + h; }
};

// ---- System pictures (SYSGRP.DAT) -------------------------------------------------------------------
inline constexpr int32_t kMenuBackground = 65;
inline constexpr int32_t kMenuSheet = 66;
inline constexpr int32_t kMusicBackground = 67;
inline constexpr int32_t kMusicSheet = 68;
constexpr int32_t PicturePageBackground(int32_t page) { return 70 + page; }
inline constexpr int32_t kPictureSheet = 97;
constexpr int32_t ScenePageBackground(int32_t page) { return 80 + page; }
inline constexpr int32_t kSceneSheet = 98;

// ---- Album menu: five rows of 44 from y 88, x 44-351 ------------------------------------------------
enum AlbumItem : int32_t {
  NoItem = 0,
  PictureGallery = 1,
  SceneGallery = 2,
  MusicRoom = 3,
  OpeningMovie = 4,
  BackToTitle = 5
};
inline constexpr int32_t kMenuLeft = 44;
inline constexpr int32_t kMenuWidth = 308;
inline constexpr int32_t kMenuRowHeight = 44;
inline constexpr int32_t kMenuTop = 88;
constexpr int32_t MenuItemTop(int32_t item) { return kMenuTop + (item - 1) * kMenuRowHeight; }
constexpr int32_t MenuItemAt(Point p) {
  if (p.x < kMenuLeft || p.x >= kMenuLeft + kMenuWidth) return NoItem;
  if (p.y < kMenuTop || p.y >= MenuItemTop(BackToTitle + 1)) return NoItem;
  return (p.y - kMenuTop) / kMenuRowHeight + 1;
}

// ---- Galleries: ten thumbnails a page and three buttons along the bottom ----------------------------
inline constexpr int32_t kThumbWidth = 141;
inline constexpr int32_t kThumbHeight = 106;
// Top-left corners of slots 1-10: three columns of rows one and two, two of rows three and four.
inline constexpr std::array<Point, 10> kSlotCorners = {
    {{37, 32}, {201, 32}, {365, 32}, {37, 165}, {201, 165}, {365, 165}, {37, 298}, {201, 298}, {37, 431}, {201, 431}}};
// The pointer's items besides the slots 1-10.
enum GalleryButton : int32_t { PreviousPage = 77, NextPage = 88, Back = 99 };
inline constexpr Area kPreviousButton{168, 568, 32, 32};
inline constexpr Area kNextButton{212, 568, 32, 32};
inline constexpr Area kBackButton{32, 568, 112, 32};
// The sheet holds each button's highlighted look at the button's own place.
inline constexpr Area kLockedLook{160, 40, kThumbWidth, kThumbHeight};
// The hover frame lies 2 pixels around a thumbnail; its pixel (8, 8) is its transparent colour.
inline constexpr Area kHoverFrame{0, 40, kThumbWidth + 4, kThumbHeight + 4};
inline constexpr Point kHoverFrameKey{8, 8};

// Slot 1-10, a button, or 0.
constexpr int32_t GalleryItemAt(Point p) {
  for (size_t i = 0; i < kSlotCorners.size(); ++i)
    if (Area{kSlotCorners[i].x, kSlotCorners[i].y, kThumbWidth, kThumbHeight}.Contains(p))
      return static_cast<int32_t>(i) + 1;
  if (kPreviousButton.Contains(p)) return PreviousPage;
  if (kNextButton.Contains(p)) return NextPage;
  if (kBackButton.Contains(p)) return Back;
  return 0;
}
constexpr const Area* GalleryButtonRect(int32_t item) {
  switch (item) {
    case PreviousPage: return &kPreviousButton;
    case NextPage: return &kNextButton;
    case Back: return &kBackButton;
    default: return nullptr;
  }
}

// ---- Music room: a row per track, in the order the background lists them ---------------------------
inline constexpr int32_t kMusicRowLeft = 72;
inline constexpr int32_t kMusicRowWidth = 588;
inline constexpr int32_t kMusicRowHeight = 42;
inline constexpr int32_t kMusicFirstRowTop = 118;
// Tracks from the top row down; row 8 alternates between tracks 8 and 9.
inline constexpr std::array<int32_t, 9> kMusicRows = {5, 6, 7, 1, 2, 3, 4, 8, 10};
inline constexpr Area kMusicBack{27, 567, 84, 32};
// Its highlighted look runs one row lower than the area the pointer hits.
inline constexpr Area kMusicBackLook{27, 567, 84, 33};
// Tracks 1-7 have a second version.
inline constexpr int32_t kTracksWithVersions = 7;

// The track of the row under the pointer, Back, or 0.
constexpr int32_t MusicItemAt(Point p) {
  if (kMusicBack.Contains(p)) return Back;
  if (p.x < kMusicRowLeft || p.x >= kMusicRowLeft + kMusicRowWidth || p.y < kMusicFirstRowTop) return 0;
  const int32_t row = (p.y - kMusicFirstRowTop) / kMusicRowHeight;
  return row < static_cast<int32_t>(kMusicRows.size()) ? kMusicRows[static_cast<size_t>(row)] : 0;
}
// Top of the row that plays `track` (8 and 9 share one), or -1.
constexpr int32_t MusicRowTop(int32_t track) {
  if (track == 9) track = 8;
  for (size_t i = 0; i < kMusicRows.size(); ++i)
    if (kMusicRows[i] == track) return kMusicFirstRowTop + static_cast<int32_t>(i) * kMusicRowHeight;
  return -1;
}

}  // namespace mokuren::album
