// TCommentForm: the comment dialog ("コメント") of the save screen. A right click on a saved slot shows
// it with Tag = that slot; "OK" puts the text box's text into the slot's comment, "キャンセル" changes
// nothing. The text box keeps its text from one showing to the next.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_translator.h"
#include "dialogs/comment_form_host.h"

namespace mokuren {

class TCommentForm {
 public:
  // A comment holds three lines of 8 UTF-16 units.
  static constexpr size_t kCommentUnits = 24;

  explicit TCommentForm(CommentFormHost& host) : host_(host) {}

  static constexpr std::u16string_view kCaption = u"コメント";
  static constexpr std::u16string_view kOkCaption = u"OK";
  static constexpr std::u16string_view kCancelCaption = u"キャンセル";

  std::u16string Caption{kCaption};
  std::u16string Edit1;
  std::u16string OkCaption{kOkCaption};
  std::u16string CancelCaption{kCancelCaption};
  int Tag = 0;  // the slot being commented
  int ModalResult = 0;

  // The caption and buttons as `text` translates them.
  void Translate(const TextTranslator& text) {
    Caption = text(kCaption);
    OkCaption = text(kOkCaption);
    CancelCaption = text(kCancelCaption);
  }
  // Replaces slot Tag's comment with the text box's first 24 units (up to a 0 unit) and closes. The
  // comment reaches SAVE.DAT with the next write of the block.
  void OkButtonClick();
  void CancelButtonClick();
  // What of `text` a comment keeps: up to a 0 unit and at most 24 units, without half of a character of
  // two units. The text box takes no more than this.
  static std::u16string FitBox(std::u16string_view text);
  // Caption, then the text box, as the dialog-text verb reads a dialog.
  std::vector<std::u16string> Texts() const { return {Caption, Edit1}; }

 private:
  CommentFormHost& host_;
};

}  // namespace mokuren
