#include "dialogs/TCommentForm.h"

#include <algorithm>

#include "dialogs/TQueryForm.h"

namespace mokuren {

namespace {

bool HighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }

}  // namespace

std::u16string TCommentForm::FitBox(std::u16string_view text) {
  size_t units = std::min(text.find(u'\0'), std::min(text.size(), kCommentUnits));
  // A character of two units that does not fit whole is left out rather than cut in half.
  if (units > 0 && HighSurrogate(text[units - 1])) --units;
  return std::u16string(text.substr(0, units));
}

void TCommentForm::OkButtonClick() {
  if (const std::span<uint16_t> comment = host_.SlotComment(Tag); comment.size() == kCommentUnits) {
    std::fill(comment.begin(), comment.end(), uint16_t{0});
    const std::u16string kept = FitBox(Edit1);
    std::copy(kept.begin(), kept.end(), comment.begin());
  }
  ModalResult = mrOk;
}

void TCommentForm::CancelButtonClick() { ModalResult = mrCancel; }

}  // namespace mokuren
