#include "app/menu_link.h"

#include "app/TForm1.h"
#include "dialogs/TQueryForm.h"
#include "script/opcodes.h"

namespace mokuren {

int32_t MenuLink::TaskCode() { return form_.TaskCode; }
void MenuLink::SetTaskCode(int32_t taskCode) { form_.TaskCode = taskCode; }
PassInput& MenuLink::Input() { return form_.Input; }
PlayModes& MenuLink::Modes() { return form_.Modes; }
TABitmap& MenuLink::NextSurface() { return form_.NextSurface; }
TABitmap& MenuLink::FrameSurface() { return form_.FrameSurface; }
const TABitmap& MenuLink::Sheet() { return form_.SurfaceTable[92]; }

void MenuLink::LoadPicture(int32_t placement, int32_t entry, bool fromSystem) {
  form_.Kumo_ReadGraphic(placement, entry, fromSystem);
}

void MenuLink::LoadPlayPictures() { form_.LoadSystemPictures(false); }

void MenuLink::StartTransition(int32_t durationMs, int32_t effectTask, int32_t resumeTaskCode) {
  form_.StartTransition(durationMs, effectTask, resumeTaskCode);
}

void MenuLink::PlayBGM(int32_t no, int fadeSeconds, int variant, int loop) {
  form_.Kumo_PlayBGM(no, fadeSeconds, variant, loop);
}

void MenuLink::ShowSaveLoadScreen(int mode) { form_.ShowSaveLoadScreen(mode); }

bool MenuLink::Confirm(const std::u16string& question) {
  // The dialog's view centres itself on the screen.
  form_.QueryForm->Label1 = question;
  return form_.ShowModal(FormId::TQueryForm, form_.QueryForm->ModalResult) == mrOk;
}

void MenuLink::Close() { form_.Close(); }
VarBank& MenuLink::WorkVars() { return form_.WorkVars; }
void MenuLink::ClearReturnTable() { form_.Kumo_ClearReturnTbl(); }
void MenuLink::ClearScenarioFlags() { form_.Kumo_ClearScenarioFlg(); }
void MenuLink::ClearMessageLog() { form_.Kumo_ClearMsgLog(); }
void MenuLink::SetNormalPlay(uint8_t normalPlay) { form_.NormalPlay = normalPlay; }

// Transition: a search of the script machine's, done here until it has its object.
void MenuLink::GoToTitleCommand() {
  form_.Kumo_ReadScript(1);
  form_.StepNo = -1;
  for (size_t i = 0; i < form_.ScriptCode.size(); ++i) {
    const ScriptInstruction& ins = form_.ScriptCode[i];
    if (ins.Code == op::SystemFunction && ins.P1 == op::sys::Title) {
      form_.StepNo = static_cast<int32_t>(i) - 1;
      break;
    }
    if (ins.Code == op::End) break;
  }
}

// Transition: the script machine's replay list and loading, done here until it has its object.
void MenuLink::LoadFirstReplayScene() {
  form_.SceneTableCursor = 1;
  form_.Kumo_ReadScript(form_.SceneTableRaw[0]);
  form_.StepNo = -1;
}

}  // namespace mokuren
