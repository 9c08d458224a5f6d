// The events file's verbs on the modal forms other than the confirmation: "dialog", "dialog-text", "name",
// "comment" and "config".
#include "app/TForm1.h"
#include "dialogs/TCommentForm.h"
#include "dialogs/TConfigForm.h"
#include "save/TForm7.h"
#include "text/TNameForm.h"
#include "base/text_codec.h"

namespace mokuren {

void TForm1::AnswerOtherDialog(FormId form, bool ok) {
  switch (form) {
    case FormId::TCommentForm: ok ? CommentForm->OkButtonClick() : CommentForm->CancelButtonClick(); break;
    // The name dialog has only its "決定" button: nothing but a valid name closes it.
    case FormId::TNameForm:
      if (ok) NameForm->Button1Click();
      break;
    // The settings dialog has no cancel button; cancel is leaving it another way, without storing.
    case FormId::TConfigForm:
      if (ok)
        ConfigForm->OkButtonClick();
      else
        ConfigForm->ModalResult = mrCancel;
      break;
    default: break;
  }
}

std::vector<std::u16string> TForm1::OtherFormTexts(FormId form) {
  switch (form) {
    case FormId::TNameForm: return {NameForm->Caption, NameForm->Label1, NameForm->Edit1};
    case FormId::TCommentForm: return CommentForm->Texts();
    case FormId::TForm7: return {SaveLoadForm->Caption};
    case FormId::TConfigForm: return ConfigForm->Texts();
    default: return {};
  }
}

void TForm1::ApplyDialogEvent(const Event& e) {
  const bool name = e.verb == Verb::Name;
  const FormId form = name ? FormId::TNameForm : FormId::TConfigForm;
  if (!ModalOpen(form)) {
    ReportEvent(e, u"'" + FromUtf8(std::string(VerbName(e.verb))) + u"': the " + (name ? u"name-entry" : u"settings") +
                       u" dialog is not up");
    return;
  }
  if (name) {
    NameForm->Edit1 = FromUtf8(e.text);
    NameForm->Button1Click();
    return;
  }
  for (const ConfigSetting& setting : e.settings) ConfigForm->Apply(setting);
}

}  // namespace mokuren
