// Drawing a frame again only where it changed. A window's frame is composed 30 times a second from the
// same pictures at the same places for as long as the player reads; composing and painting it each time
// would keep a core busy for nothing.
//
// Between Begin and End, the pixel routines (ABitmapFilters32) and canvas text aimed at the target write
// down what they would draw instead of drawing it. End compares that record with the previous frame's,
// item by item: where an item differs (another picture, another place, a picture whose pixels changed),
// its area changed. End then draws the frame's record clipped to the changed area and returns the area;
// everywhere else the target already holds exactly those pixels. Every routine changes a pixel only from
// that pixel's own inputs, so a clipped drawing gives the same bytes as a whole one.
//
// Whatever cannot be recorded is drawn as before: any other access to the target's pixels during the
// frame (a routine reading it, code writing to it directly) first draws everything recorded so far, and
// the rest of the frame is then drawn at once; so is a frame after the target was changed outside a
// frame. Setting MOKUREN_FULL_FRAMES=1 in the environment draws every frame whole.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graphics/ABitmap.h"
#include "platform/platform.h"

namespace mokuren {

class FrameRecorder {
 public:
  enum class Kind : uint8_t { Copy, Keyed, Fill, BlendConst, DrawAlpha, DrawAlphaSkip, Invert, Text };

  // One drawing on the target, with everything its result depends on.
  struct Item {
    Kind kind;
    const TABitmap* source;  // null for fills, inversions and text
    uint64_t sourceStamp;
    std::array<int32_t, 8> arguments;  // the routine's, in its order after the surfaces
    std::u16string text;               // Text: what is drawn, and how (compared, not read)
    std::function<void(TABitmap&)> drawText;
    Rect area;  // the part of the target it may change

    bool SameDrawing(const Item& other) const;
  };

  explicit FrameRecorder(TABitmap& target);
  ~FrameRecorder();
  FrameRecorder(const FrameRecorder&) = delete;
  FrameRecorder& operator=(const FrameRecorder&) = delete;

  void Begin();
  // Ends the frame: the area of the target that was drawn (and so may differ from the last frame
  // painted), empty when the frame is the same as the last one.
  Rect End();

  // Called by the pixel routines when their target is this recorder's: true when the drawing was
  // recorded, false when the routine must draw it now.
  bool Record(Kind kind, const TABitmap* source, const std::array<int32_t, 8>& arguments);
  // Canvas text: `key` names everything the drawing depends on; `draw` draws it (unclipped).
  bool RecordText(std::u16string key, std::function<void(TABitmap&)> draw);
  // Draws what was recorded and ends recording for the rest of the frame (any access to the target's
  // pixels during the frame calls it).
  void Settle();

 private:
  Rect Whole() const { return {0, 0, target_.Width(), target_.Height()}; }
  Rect AreaOf(Kind kind, const std::array<int32_t, 8>& a) const;
  // Draws the items (each clipped to `area`) onto the target.
  void Draw(const std::vector<Item>& items, const Rect& area);

  TABitmap& target_;
  bool enabled_;
  bool recording_ = false;
  // The last frame's items, and the target's stamp right after it was drawn (0: not known, so the next
  // frame is drawn whole).
  std::vector<Item> items_, previous_;
  uint64_t stampAfter_ = 0;
};

}  // namespace mokuren
