// The message window's requests, answered by the engine's other parts.
#include "app/message_link.h"

#include "app/TForm1.h"
#include "sound/sound_files.h"

namespace mokuren {

namespace {

// Slots of the surface table the message window draws from and renders into.
constexpr size_t kMessageFrameSlot = 6;
constexpr size_t kMessageTextSlot = 58;
constexpr size_t kMessageShadowSlot = 59;
constexpr size_t kChoicePlateSlot = 72;
constexpr size_t kChoiceTextSlot = 73;    // 73-81: text of choices 1-9
constexpr size_t kChoiceShadowSlot = 82;  // 82-90: their shadows
constexpr size_t kChoiceHoverPlateSlot = 91;
constexpr size_t kSystemSheetSlot = 92;

}  // namespace

int32_t MessageLink::TaskCode() { return form_.TaskCode; }
void MessageLink::SetTaskCode(int32_t code) { form_.TaskCode = code; }

TABitmap& MessageLink::Frame() { return form_.Pictures().FrameSurface; }
TABitmap& MessageLink::FloatFrame() { return form_.Pictures().FloatSurface; }
TABitmap& MessageLink::MessageTextLayer() { return form_.Pictures().SurfaceTable[kMessageTextSlot]; }
TABitmap& MessageLink::MessageShadowLayer() { return form_.Pictures().SurfaceTable[kMessageShadowSlot]; }
TABitmap& MessageLink::MessageFrame() { return form_.Pictures().SurfaceTable[kMessageFrameSlot]; }
TABitmap& MessageLink::SystemSheet() { return form_.Pictures().SurfaceTable[kSystemSheetSlot]; }
TABitmap& MessageLink::ChoicePlate(bool highlighted) {
  return form_.Pictures().SurfaceTable[highlighted ? kChoiceHoverPlateSlot : kChoicePlateSlot];
}
TABitmap& MessageLink::ChoiceTextLayer(int32_t choice) {
  return form_.Pictures().SurfaceTable[kChoiceTextSlot + static_cast<size_t>(choice - 1)];
}
TABitmap& MessageLink::ChoiceShadowLayer(int32_t choice) {
  return form_.Pictures().SurfaceTable[kChoiceShadowSlot + static_cast<size_t>(choice - 1)];
}

int32_t MessageLink::ScriptNumber() { return form_.Script().ScriptNo; }
const std::vector<std::u16string>& MessageLink::MessageTexts() { return form_.Script().MessageTexts; }

std::u16string MessageLink::VoiceFile(int32_t voice) {
  if (voice < 0 || static_cast<size_t>(voice) >= form_.Script().ResourceNameArray.size()) return {};
  return VoiceFileName(form_.Script().ResourceNameArray[static_cast<size_t>(voice)]);
}

void MessageLink::StoreChoice(int16_t number) { form_.Script().WorkVars[1] = number; }

void MessageLink::PlayVoice(const std::u16string& path, int32_t repeat) { form_.Audio().Kumo_PlayVOICE(path, repeat); }
void MessageLink::StopVoice() { form_.Audio().StopSlot(stream::Voice); }

void MessageLink::DisableVoiceButton() {
  form_.Pictures().ButtonState[button::Voice - 1] = button_state::Disabled;
  form_.Pictures().ButtonOn[button::Voice - 1] = 0;
}
void MessageLink::UnlightVoiceButton() { form_.Pictures().ButtonOn[button::Voice - 1] = 0; }

bool MessageLink::DebugMode() { return form_.DebugMode != 0; }
void MessageLink::StartFramesNow() { form_.NextFrameTime = form_.platform().TickCount(); }

TNameForm& MessageLink::NameForm() { return *form_.NameForm; }
int MessageLink::ShowModal(FormId form, int& modalResult) { return form_.ShowModal(form, modalResult); }

void MessageLink::AcceptHeroName(const std::u16string& name) {
  form_.Text().SetHeroName(name);
  form_.TaskCode = 0;
}

void MessageLink::LatchMouseDown(MouseButton button) { form_.Text().LatchMouseDown(button); }
void MessageLink::LatchWheelUp() { form_.Text().FormMouseWheelUp(); }
void MessageLink::LatchWheelDown() { form_.Text().FormMouseWheelDown(); }
void MessageLink::PopupMenuAt(Point client) { form_.Text().OpenPopupMenu(WindowId::Float, client); }

}  // namespace mokuren
