#include "app/menu_link.h"

#include "app/TForm1.h"
#include "dialogs/TQueryForm.h"

namespace mokuren {

int32_t MenuLink::TaskCode() { return form_.TaskCode; }
void MenuLink::SetTaskCode(int32_t taskCode) { form_.TaskCode = taskCode; }
PassInput& MenuLink::Input() { return form_.Text().Input; }
PlayModes& MenuLink::Modes() { return form_.Text().Modes; }
TABitmap& MenuLink::NextSurface() { return form_.Pictures().NextSurface; }
TABitmap& MenuLink::FrameSurface() { return form_.Pictures().FrameSurface; }
const TABitmap& MenuLink::Sheet() { return form_.Pictures().SurfaceTable[92]; }

void MenuLink::LoadPicture(int32_t placement, int32_t entry, bool fromSystem) {
  form_.Pictures().Kumo_ReadGraphic(placement, entry, fromSystem);
}

void MenuLink::LoadPlayPictures() { form_.Pictures().LoadSystemPictures(false); }

void MenuLink::StartTransition(int32_t durationMs, int32_t effectTask, int32_t resumeTaskCode) {
  form_.Pictures().StartTransition(durationMs, effectTask, resumeTaskCode);
}

void MenuLink::PlayBGM(int32_t no, int fadeSeconds, int variant, int loop) {
  form_.Audio().Kumo_PlayBGM(no, fadeSeconds, variant, loop);
}

void MenuLink::ShowSaveLoadScreen(int mode) { form_.Save().ShowSaveLoadScreen(mode); }

void MenuLink::Confirm(const std::u16string& question, std::function<void()> onYes) {
  // The dialog's view centres itself on the screen.
  form_.QueryForm->Label1 = form_.Text().EngineText(question);
  form_.ShowModal(FormId::TQueryForm, form_.QueryForm->ModalResult, [onYes = std::move(onYes)](int result) {
    if (result == mrOk) onYes();
  });
}

void MenuLink::Close() { form_.Close(); }
VarBank& MenuLink::WorkVars() { return form_.Script().WorkVars; }
void MenuLink::ClearReturnTable() { form_.Script().Kumo_ClearReturnTbl(); }
void MenuLink::ClearScenarioFlags() { form_.Script().Kumo_ClearScenarioFlg(); }
void MenuLink::ClearMessageLog() { form_.Text().Kumo_ClearMsgLog(); }
void MenuLink::SetNormalPlay(uint8_t normalPlay) { form_.Script().NormalPlay = normalPlay; }

void MenuLink::GoToTitleCommand() { form_.Script().GoToTitleCommand(); }
void MenuLink::LoadFirstReplayScene() { form_.Script().LoadFirstReplayScene(); }

void MenuLink::SpeakFocus(std::u16string_view text, std::initializer_list<TextField> fields) {
  form_.Text().SpeakFocus(text, fields);
}

}  // namespace mokuren
