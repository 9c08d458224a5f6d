// The item a screen's keys act on: the one the arrow keys (or a gamepad's d-pad) chose, or the one the
// pointer was moved onto. A screen shows it highlighted, and Enter takes it. A pointer that only rests
// where it was when the screen opened chooses nothing, so a key pressed for the screen before (Enter
// held through the last message) never takes an item the pointer happened to be left over.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "base/geometry.h"

namespace mokuren {

// One press of a key that moves between items. Next and Previous go through the items in their order,
// round from the last to the first; the arrows go to the nearest item that way, and nowhere when there is
// none.
enum class FocusMove : uint8_t { None, Up, Down, Left, Right, Next, Previous };

// A place that can be chosen: its id (never 0) and the area the pointer chooses it in.
struct FocusItem {
  int32_t id = 0;
  Rect area;
};

class KeyboardFocus {
 public:
  // A screen opens, or its items change: nothing is chosen, and the pointer, resting at `pointer`, chooses
  // nothing until it moves.
  void Reset(Point pointer);
  // Once a pass while the screen waits: the pointer, moved, chooses the item under it (none when it is on
  // none; nothing changes while it is off the screen, `pointer` empty); then a key's move. The first move
  // chooses the item under the pointer, or else the first item. Returns the item chosen now (its id), 0
  // for none.
  int32_t Update(std::span<const FocusItem> items, std::optional<Point> pointer, FocusMove move);
  int32_t Chosen() const { return chosen_; }
  // True once after the chosen item changed (for the reader that speaks it).
  bool TakeChange();
  void Choose(int32_t id);

 private:
  int32_t chosen_ = 0;
  Point pointer_{INT32_MIN, INT32_MIN};
  int32_t announced_ = 0;
};

// The item whose area holds p, 0 for none.
int32_t ItemAt(std::span<const FocusItem> items, Point p);

}  // namespace mokuren
