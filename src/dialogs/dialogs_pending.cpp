// The events file's answers and texts for the modal forms other than the confirmation, and the dialog
// operations not built yet.
#include "app/TForm1.h"
#include "dialogs/TCommentForm.h"
#include "save/TForm7.h"

namespace mokuren {

void TForm1::Kumo_Debug() {}
void TForm1::menuConfigClick() {}

void TForm1::AnswerOtherDialog(FormId form, bool ok) {
  if (form == FormId::TCommentForm) ok ? CommentForm->OkButtonClick() : CommentForm->CancelButtonClick();
}

std::vector<std::u16string> TForm1::OtherFormTexts(FormId form) {
  if (form == FormId::TCommentForm) return CommentForm->Texts();
  if (form == FormId::TForm7) return {SaveLoadForm->Caption};
  return {};
}

}  // namespace mokuren
