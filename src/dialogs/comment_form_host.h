// What the comment dialog (TCommentForm) may use of the engine: the comment of one saved slot.
#pragma once

#include <cstdint>
#include <span>

namespace mokuren {

class CommentFormHost {
 public:
  // The comment of slot n: three lines of 8 UTF-16 units, a line ending early at a 0 unit. Empty when
  // there is no slot n.
  virtual std::span<uint16_t> SlotComment(int n) = 0;

 protected:
  ~CommentFormHost() = default;
};

}  // namespace mokuren
