#include "app/save_link.h"

#include "app/TForm1.h"
#include "script/script_image.h"

namespace mokuren {

const TABitmap& SaveLink::Frame() { return form_.Pictures().FrameSurface; }

void SaveLink::ShowNotice(const std::u16string& text, int32_t ticks) {
  // Transition: the notice line is the message window's; it gets a call of its own there.
  form_.Text().NoticeText = text;
  form_.Text().NoticeTimer = ticks;
}

std::u16string SaveLink::EngineText(std::u16string_view text) { return form_.Text().EngineText(text); }
void SaveLink::SpeakFocus(std::u16string_view text, std::initializer_list<TextField> fields) {
  form_.Text().SpeakFocus(text, fields);
}
void SaveLink::ClearMessageLog() { form_.Text().Kumo_ClearMsgLog(); }
void SaveLink::SetTaskCode(int32_t taskCode) { form_.TaskCode = taskCode; }
bool SaveLink::AskToRetrySave() { return form_.AskToRetrySave(); }
void SaveLink::SetNormalPlay(uint8_t normalPlay) { form_.Script().NormalPlay = normalPlay; }
void SaveLink::LoadStandardSystemPictures() { form_.Pictures().LoadSystemPictures(false); }

void SaveLink::BlackBackground() {
  // Transition: two steps in the surfaces of graphics; they get a call of their own there.
  form_.Pictures().SurfaceTable[0].SetSize32(kFrameWidth, kFrameHeight);
  form_.Pictures().SurfaceTable[0].FillRGB(0, 0, 0);
}

void SaveLink::LoadScenePicture(int32_t placement, int32_t entry) {
  form_.Pictures().Kumo_ReadGraphic(placement, entry, false);
}

void SaveLink::PlayBgm(int no, int fadeSeconds, int variant, int loop) {
  form_.Audio().Kumo_PlayBGM(no, fadeSeconds, variant, loop);
}

void SaveLink::PlaySe(int channel, int no, int loop, int fadeSeconds) {
  form_.Audio().Kumo_PlaySE(channel, no, loop, fadeSeconds);
}
void SaveLink::ReadScript(int n) { form_.Script().Kumo_ReadScript(n); }

std::optional<int32_t> SaveLink::ScriptSteps(int n) {
  std::vector<uint8_t> bytes;
  if (n < 1 || static_cast<size_t>(n) >= ArchiveIndex::kEntries ||
      form_.Archive().Kuri_ReadFile(ArchiveKind::Script, n, bytes) != 0)
    return std::nullopt;
  ScriptImage image;
  std::vector<std::string> problems;  // the script machine reports them when it loads the script
  if (!ParseScriptImage(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), image, problems))
    return std::nullopt;
  return static_cast<int32_t>(image.code.size());
}

void SaveLink::StartTransition(int32_t durationMs, int32_t taskCode, int32_t resumeTaskCode) {
  form_.Pictures().StartTransition(durationMs, taskCode, resumeTaskCode);
}

void SaveLink::LoadScreenPicture(int32_t placement, int32_t entry) {
  form_.Pictures().Kumo_ReadGraphic(placement, entry, true);
}

void SaveLink::DrawCanvasText(TABitmap& target, int32_t x, int32_t y, const std::u16string& text, int32_t height) {
  form_.Canvas().CanvasTextOut(target, x, y, text, height, 0, 0, 0, true);
}

void SaveLink::ShowModal(FormId form, int& modalResult, std::function<void()> then) {
  form_.ShowModal(form, modalResult, [then = std::move(then)](int) { then(); });
}
bool SaveLink::ModalOpen(FormId form) const { return form_.ModalOpen(form); }
void SaveLink::ReportEvent(const Event& event, const std::u16string& what) { form_.ReportEvent(event, what); }
std::string SaveLink::AutomationFile(const std::string& name) { return form_.AutomationFile(name); }

}  // namespace mokuren
