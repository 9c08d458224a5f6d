#include "platform/focus_keys.h"

#include <utility>

namespace mokuren {

namespace {

constexpr std::pair<Key, FocusMove> kMoves[] = {{Key::Up, FocusMove::Up},     {Key::Down, FocusMove::Down},
                                                {Key::Left, FocusMove::Left}, {Key::Right, FocusMove::Right},
                                                {Key::Tab, FocusMove::Next},  {Key::Backtab, FocusMove::Previous}};

}  // namespace

FocusMove TakeFocusMove(Platform& platform) {
  for (const auto& [key, move] : kMoves)
    if (platform.KeyPressed(key)) return move;
  return FocusMove::None;
}

void DropFocusKeys(Platform& platform) {
  for (const auto& [key, move] : kMoves)
    while (platform.KeyPressed(key)) {
    }
  while (platform.KeyPressed(Key::Escape)) {
  }
}

}  // namespace mokuren
