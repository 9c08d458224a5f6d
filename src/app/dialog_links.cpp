#include "app/dialog_links.h"

#include "app/TForm1.h"
#include "dialogs/TCommentForm.h"
#include "dialogs/TConfigForm.h"
#include "dialogs/debug_dump.h"
#include "save/TForm7.h"
#include "text/TNameForm.h"

namespace mokuren {

void DialogLinks::ApplyVolumes() { form_.Audio().ApplyVolumes(); }
void DialogLinks::FullModeWin() { form_.FullModeWin(); }
void DialogLinks::ReturnFullModeWin() { form_.ReturnFullModeWin(); }

const VarBank& DialogLinks::WorkVars() { return form_.Script().WorkVars; }
std::mt19937& DialogLinks::Random() { return form_.Script().Random; }
std::vector<std::u16string> DialogLinks::MessageLogLines() { return MsgLogDumpLines(form_.Text().MsgLog); }

std::u16string DialogLinks::InterpreterStatus() {
  const ScriptMachine& script = form_.Script();
  return InterpreterStatusLine(form_.TaskCode, script.ScriptNo, script.StepNo, script.CurrentInstruction);
}

TNameForm& DialogLinks::NameForm() { return *form_.NameForm; }
TCommentForm& DialogLinks::CommentForm() { return *form_.Save().CommentForm; }
TConfigForm& DialogLinks::ConfigForm() { return *form_.ConfigForm; }
std::u16string DialogLinks::SaveScreenCaption() { return form_.Save().SaveLoadForm->Caption; }
int DialogLinks::ShowModal(FormId form, int& modalResult) { return form_.ShowModal(form, modalResult); }
bool DialogLinks::ModalOpen(FormId form) { return form_.ModalOpen(form); }
void DialogLinks::ReportEvent(const Event& event, const std::u16string& what) { form_.ReportEvent(event, what); }

}  // namespace mokuren
