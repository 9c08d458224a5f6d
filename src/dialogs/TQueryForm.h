// TQueryForm: the yes/no confirmation dialog ("確認"). The engine sets Label1 and shows it modally;
// the view shows the question with the buttons "ＯＫ" and "キャンセル".
#pragma once

#include <string>
#include <string_view>

#include "base/modal_result.h"
#include "base/text_translator.h"

namespace mokuren {

class TQueryForm {
 public:
  static constexpr std::u16string_view kCaption = u"確認";
  static constexpr std::u16string_view kOkCaption = u"ＯＫ";
  static constexpr std::u16string_view kCancelCaption = u"キャンセル";

  std::u16string Caption{kCaption};
  std::u16string Label1;  // the question, which the engine gives already translated
  std::u16string OkCaption{kOkCaption};
  std::u16string CancelCaption{kCancelCaption};
  int ModalResult = mrNone;

  // The caption and buttons as `text` translates them.
  void Translate(const TextTranslator& text) {
    Caption = text(kCaption);
    OkCaption = text(kOkCaption);
    CancelCaption = text(kCancelCaption);
  }

  void OkButtonClick() { ModalResult = mrOk; }
  void CancelButtonClick() { ModalResult = mrCancel; }
};

}  // namespace mokuren
