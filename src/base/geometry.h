// Points and rectangles of a window's client area or of a surface, in pixels.
#pragma once

#include <cstdint>

namespace mokuren {

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Empty when either side is 0 or less.
struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool Empty() const { return width <= 0 || height <= 0; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace mokuren
