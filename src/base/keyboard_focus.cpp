#include "base/keyboard_focus.h"

#include <algorithm>
#include <cstdlib>

namespace mokuren {

namespace {

Point Centre(const Rect& r) { return {r.x + r.width / 2, r.y + r.height / 2}; }

bool Contains(const Rect& r, Point p) {
  return p.x >= r.x && p.x < r.x + r.width && p.y >= r.y && p.y < r.y + r.height;
}

// The index of the item nearest to `from`'s centre in the direction of an arrow: first by distance along
// it, then across it; -1 when no item lies that way.
int Nearest(std::span<const FocusItem> items, size_t from, FocusMove move) {
  const Point at = Centre(items[from].area);
  const int dx = move == FocusMove::Left ? -1 : move == FocusMove::Right ? 1 : 0;
  const int dy = move == FocusMove::Up ? -1 : move == FocusMove::Down ? 1 : 0;
  int best = -1;
  int64_t bestAlong = 0, bestAcross = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const Point c = Centre(items[i].area);
    const int64_t along = dx != 0 ? dx * int64_t{c.x - at.x} : dy * int64_t{c.y - at.y};
    const int64_t across = std::llabs(dx != 0 ? int64_t{c.y - at.y} : int64_t{c.x - at.x});
    if (i == from || along <= 0) continue;
    if (best < 0 || along < bestAlong || (along == bestAlong && across < bestAcross)) {
      best = static_cast<int>(i);
      bestAlong = along;
      bestAcross = across;
    }
  }
  return best;
}

}  // namespace

int32_t ItemAt(std::span<const FocusItem> items, Point p) {
  for (const FocusItem& item : items)
    if (Contains(item.area, p)) return item.id;
  return 0;
}

void KeyboardFocus::Reset(Point pointer) {
  chosen_ = 0;
  pointer_ = pointer;
}

void KeyboardFocus::Choose(int32_t id) { chosen_ = id; }

bool KeyboardFocus::TakeChange() {
  if (chosen_ == announced_) return false;
  announced_ = chosen_;
  return true;
}

int32_t KeyboardFocus::Update(std::span<const FocusItem> items, std::optional<Point> pointer, FocusMove move) {
  if (pointer && !(*pointer == pointer_)) {
    pointer_ = *pointer;
    chosen_ = ItemAt(items, *pointer);
  }
  const auto current = std::find_if(items.begin(), items.end(), [this](const FocusItem& i) { return i.id == chosen_; });
  // An item that went away (a button disabled meanwhile) is chosen no longer.
  if (current == items.end()) chosen_ = 0;
  if (move == FocusMove::None || items.empty()) return chosen_;
  if (chosen_ == 0) {
    const int32_t under = pointer ? ItemAt(items, *pointer) : 0;
    chosen_ = under != 0 ? under : items.front().id;
    return chosen_;
  }
  const size_t index = static_cast<size_t>(current - items.begin());
  switch (move) {
    case FocusMove::Next: chosen_ = items[(index + 1) % items.size()].id; break;
    case FocusMove::Previous: chosen_ = items[(index + items.size() - 1) % items.size()].id; break;
    default:
      if (const int next = Nearest(items, index, move); next >= 0) chosen_ = items[static_cast<size_t>(next)].id;
      break;
  }
  return chosen_;
}

}  // namespace mokuren
