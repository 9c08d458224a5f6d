// The events file's verbs on the modal forms other than the confirmation: "dialog", "dialog-text", "name",
// "comment" and "config".
#include "base/text_codec.h"
#include "dialogs/TCommentForm.h"
#include "dialogs/TConfigForm.h"
#include "dialogs/engine_dialogs.h"
#include "text/TNameForm.h"

namespace mokuren {

void EngineDialogs::AnswerOtherDialog(FormId form, bool ok) {
  switch (form) {
    case FormId::TCommentForm: {
      TCommentForm& comment = host_.CommentForm();
      ok ? comment.OkButtonClick() : comment.CancelButtonClick();
      break;
    }
    // The name dialog has only its "決定" button: nothing but a valid name closes it.
    case FormId::TNameForm:
      if (ok) host_.NameForm().Button1Click();
      break;
    // The settings dialog has no cancel button; cancel is leaving it another way, without storing.
    case FormId::TConfigForm:
      if (ok)
        host_.ConfigForm().OkButtonClick();
      else
        host_.ConfigForm().ModalResult = mrCancel;
      break;
    default: break;
  }
}

std::vector<std::u16string> EngineDialogs::OtherFormTexts(FormId form) {
  switch (form) {
    case FormId::TNameForm: {
      const TNameForm& name = host_.NameForm();
      return {name.Caption, name.Label1, name.Edit1};
    }
    case FormId::TCommentForm: return host_.CommentForm().Texts();
    case FormId::TForm7: return {host_.SaveScreenCaption()};
    case FormId::TConfigForm: return host_.ConfigForm().Texts();
    default: return {};
  }
}

void EngineDialogs::ApplyDialogEvent(const Event& e) {
  const bool name = e.verb == Verb::Name;
  const FormId form = name ? FormId::TNameForm : FormId::TConfigForm;
  if (!host_.ModalOpen(form)) {
    host_.ReportEvent(e, u"'" + FromUtf8(std::string(VerbName(e.verb))) + u"': the " +
                             (name ? u"name-entry" : u"settings") + u" dialog is not up");
    return;
  }
  if (name) {
    TNameForm& nameForm = host_.NameForm();
    nameForm.Edit1 = FromUtf8(e.text);
    nameForm.Button1Click();
    return;
  }
  for (const ConfigSetting& setting : e.settings) host_.ConfigForm().Apply(setting);
}

}  // namespace mokuren
