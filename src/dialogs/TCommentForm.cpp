#include "dialogs/TCommentForm.h"

#include <algorithm>

#include "dialogs/TQueryForm.h"

namespace mokuren {

namespace {

bool HighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }

}  // namespace

void TCommentForm::OkButtonClick() {
  if (const std::span<uint16_t> comment = host_.SlotComment(Tag); comment.size() == kCommentUnits) {
    std::fill(comment.begin(), comment.end(), uint16_t{0});
    size_t units = std::min(Edit1.size(), kCommentUnits);
    // A character of two units that does not fit whole is left out rather than cut in half.
    if (units == kCommentUnits && Edit1.size() > kCommentUnits && HighSurrogate(Edit1[units - 1])) --units;
    for (size_t i = 0; i < units && Edit1[i] != 0; ++i) comment[i] = Edit1[i];
  }
  ModalResult = mrOk;
}

void TCommentForm::CancelButtonClick() { ModalResult = mrCancel; }

}  // namespace mokuren
