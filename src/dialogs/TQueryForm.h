// TQueryForm: the yes/no confirmation dialog ("確認"). The engine sets Label1 and shows it modally;
// the view shows the question with the buttons "ＯＫ" and "キャンセル".
#pragma once

#include <string>

#include "base/modal_result.h"

namespace mokuren {

class TQueryForm {
 public:
  std::u16string Caption = u"確認";
  std::u16string Label1;
  std::u16string OkCaption = u"ＯＫ";
  std::u16string CancelCaption = u"キャンセル";
  int ModalResult = mrNone;

  void OkButtonClick() { ModalResult = mrOk; }
  void CancelButtonClick() { ModalResult = mrCancel; }
};

}  // namespace mokuren
