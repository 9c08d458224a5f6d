#include "app/script_link.h"

#include <algorithm>

#include "app/TForm1.h"
#include "text/game_translation.h"

namespace mokuren {

void ScriptLink::SetTaskCode(int32_t code) { form_.TaskCode = code; }
uint32_t ScriptLink::Now() { return form_.platform().TickCount(); }
PassInput& ScriptLink::Input() { return form_.Text().Input; }
PlayModes& ScriptLink::Modes() { return form_.Text().Modes; }
void ScriptLink::ClearKeys() { form_.Text().Kumo_ClearKey(); }
void ScriptLink::ClearMouseButtons() { form_.Text().Kumo_ClearMouseButton(); }

int ScriptLink::ReadScriptEntry(int entry, std::vector<uint8_t>& bytes) {
  return form_.Archive().Kuri_ReadFile(ArchiveKind::Script, entry, bytes);
}
bool ScriptLink::ScriptEntryListedEmpty(int entry) {
  return form_.Archive().ArchiveIndexes[0][static_cast<size_t>(entry)].size == 0;
}
int32_t ScriptLink::PictureEntry(const std::u16string& name) {
  return form_.Archive().Kuri_FileNo(ArchiveKind::Graphic, name);
}

void ScriptLink::NoteBackground(int32_t entry) { form_.Pictures().BackgroundNo = entry; }

void ScriptLink::BlackBackground() {
  // Transition: graphics' own step once it has its object. Black over the whole frame, whatever the slot
  // held.
  TABitmap& slot = form_.Pictures().SurfaceTable[0];
  if (slot.Width() < kFrameWidth || slot.Height() < kFrameHeight) slot.SetSize32(kFrameWidth, kFrameHeight);
  for (int32_t y = 0; y < kFrameHeight; ++y) std::fill_n(slot.ScanLine(y), kFrameWidth * 4, uint8_t{0});
}

void ScriptLink::PlaceLayer(int layer, int32_t entry, std::optional<int32_t> x) {
  // Transition: graphics' own step once it has its object.
  form_.Pictures().LayerImage[layer - 1] = entry;
  if (x) form_.Pictures().LayerPos[layer - 1].X = *x;
  form_.Pictures().LayerPos[layer - 1].Y = 0;
  form_.Pictures().LayerOpacity[layer - 1] = 255;
}

void ScriptLink::LoadPicture(int32_t placement, int32_t entry) {
  form_.Pictures().Kumo_ReadGraphic(placement, entry, false);
}
void ScriptLink::CrossFadeIn() { form_.Pictures().StartTransition(1000, task::Effect01); }
void ScriptLink::StartOpeningMovie() { form_.Movie().StartOpeningMovie(); }

void ScriptLink::PlayMusic(int no, int fadeSeconds, int loop) {
  form_.Audio().Kumo_PlayBGM(no, fadeSeconds, form_.Save().Block->Live.BgmVariant, loop);
}
void ScriptLink::PlayEffect(int position, int no, int loop, int fadeSeconds) {
  form_.Audio().Kumo_PlaySE(position, no, loop, fadeSeconds);
}
void ScriptLink::PlayVoice(const std::u16string& path, int repeat) { form_.Audio().Kumo_PlayVOICE(path, repeat); }
void ScriptLink::CheckVoice(const std::u16string& path) { form_.Audio().CheckVoiceFile(path); }
void ScriptLink::StopVoice() { form_.Audio().StopSlot(stream::Voice); }

void ScriptLink::StopVoiceUnlessLooping() {
  // Transition: the message window knows whether the voice loops, sound stops it.
  if (form_.Text().LoopingVoice == 0) form_.Audio().StopSlot(stream::Voice);
}

void ScriptLink::EndVoiceLoop() { form_.Text().LoopingVoice = 0; }
void ScriptLink::ReleaseVoiceButton() { form_.Pictures().ButtonOn[button::Voice - 1] = 0; }

void ScriptLink::NoteMessage(int32_t message, int32_t voice, bool repeatVoice) {
  form_.Text().NoteMessage(message, voice, repeatVoice);
}
void ScriptLink::NoteChoice(int32_t message, int32_t voice) { form_.Text().NoteChoice(message, voice); }

std::u16string ScriptLink::LayOutMessage(const std::u16string& text) {
  // The line the script names decides the translation the text is shown as.
  form_.Text().Translation().NoteMessage(form_.Script().ScriptNo, form_.Text().CurrentMessage, text);
  return form_.Text().Kumo_MakeMessage(text);
}
void ScriptLink::AnnounceMessage(const std::u16string& text) { form_.Text().AnnounceMessage(text); }

void ScriptLink::OpenMessageWindow() { form_.Text().OpenMessageWindow(); }

int32_t ScriptLink::LayOutChoices(const std::u16string& text) {
  form_.Text().Kumo_MakeSelect(text);
  return form_.Text().ChoiceCount;
}
void ScriptLink::AnnounceChoices() { form_.Text().AnnounceChoices(); }

void ScriptLink::ShowChoices() { form_.Text().ShowChoices(); }

void ScriptLink::DropMessageFrame() { form_.Text().MessageDone = 0; }

void ScriptLink::ShowCursor(bool shown) {
  // Transition: the cursor's setting is kept with the game (a restore shows it again); its keeper is not
  // decided yet.
  form_.Save().Block->Live.CursorShown = shown ? 1 : 0;
  form_.platform().SetCursorShown(shown);
}

void ScriptLink::AllowSystemMenu(bool allowed) { form_.Text().SystemMenuAllowed = allowed ? 1 : 0; }
void ScriptLink::AllowSkip(bool allowed) { form_.Text().SkipAllowed = allowed ? 1 : 0; }
void ScriptLink::OpenNameEntry() { form_.Text().ShowNameForm(); }
void ScriptLink::HideFloatingWindow() { form_.platform().SetFloatVisible(false); }

void ScriptLink::PlayGalleryMusic() {
  form_.Audio().Kumo_PlayBGM(form_.Save().Block->AlbumBgmNo, 1, form_.Save().Block->Live.BgmVariant, 1);
}

}  // namespace mokuren
