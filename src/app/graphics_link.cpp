#include "app/graphics_link.h"

#include "app/TForm1.h"
#include "save/TForm7.h"
#include "sound/sound_files.h"

namespace mokuren {

namespace {

// The voice of the message on screen, when it has one the script's resource list names.
bool MessageVoiceKnown(TForm1& f) {
  return f.Text().CurrentVoice >= 0 && static_cast<size_t>(f.Text().CurrentVoice) < f.Script().ResourceNameArray.size();
}

}  // namespace

int GraphicsLink::ReadArchiveEntry(ArchiveKind kind, int32_t entry, std::vector<uint8_t>& bytes) {
  const int read = form_.Archive().Kuri_ReadFile(kind, entry, bytes);
  if (read != -1) return read;
  const bool listed =
      entry >= 0 && entry < static_cast<int32_t>(ArchiveIndex::kEntries) &&
      form_.Archive().ArchiveIndexes[static_cast<size_t>(kind) - 1][static_cast<size_t>(entry)].size != 0;
  return listed ? -2 : -1;
}

int32_t GraphicsLink::TaskCode() { return form_.TaskCode; }
void GraphicsLink::SetTaskCode(int32_t code) { form_.TaskCode = code; }
PassInput& GraphicsLink::Input() { return form_.Text().Input; }
const PlayModes& GraphicsLink::Modes() { return form_.Text().Modes; }
bool GraphicsLink::MessageWindowShown() { return form_.Text().WindowShown != 0; }

bool GraphicsLink::HasVoiceToReplay() {
  // While the log is browsed, the voice is the viewed entry's.
  if (form_.Text().LogView) return !form_.Text().MsgLog[form_.Text().LogIndex].voicePath.empty();
  return MessageVoiceKnown(form_);
}

bool GraphicsLink::VoicePlaying() { return form_.Audio().SlotStatus(stream::Voice) > 1; }

void GraphicsLink::PressButton(int button) {
  TForm1& f = form_;
  SaveRecord& live = f.Save().Block->Live;
  switch (button) {
    case button::MusicVariant: f.Audio().Kumo_PlayBGM(live.BgmNo, 1, live.BgmVariant ? 0 : 1, live.BgmLoop); break;
    case button::Voice:
      // Once per press; a press while the voice it started still plays stops it.
      if (f.Pictures().ButtonOn[button::Voice - 1] && VoicePlaying()) {
        f.Audio().StopSlot(stream::Voice);
      } else if (f.Text().LogView) {
        const std::u16string path = f.Text().MsgLog[f.Text().LogIndex].voicePath;
        f.Audio().Kumo_PlayVOICE(path, 0);
      } else if (MessageVoiceKnown(f)) {
        f.Audio().Kumo_PlayVOICE(
            VoiceFileName(f.Script().ResourceNameArray[static_cast<size_t>(f.Text().CurrentVoice)]), 0);
      }
      break;
    case button::QuickSave: f.Save().QuickSave(); break;
    case button::QuickLoad: f.Save().QuickLoad(); break;
    case button::SaveScreen: f.Save().ShowSaveLoadScreen(0); break;
    case button::LoadScreen: f.Save().ShowSaveLoadScreen(1); break;
    case button::ReadSkip: f.Text().ReadSkip = 1; break;
    case button::Auto:
      f.Text().AutoMode = 1;
      // A repeating voice stops when auto mode starts.
      if (f.Text().LoopingVoice) {
        f.Audio().StopSlot(stream::Voice);
        f.Text().LoopingVoice = 0;
      }
      break;
    default: break;
  }
}

TABitmap* GraphicsLink::SaveScreenPictureBox(int32_t placement) {
  TForm7* screen = form_.Save().SaveLoadForm.get();
  if (!screen) return nullptr;
  return placement == 203 ? &screen->Image2 : &screen->Image3;
}

std::string GraphicsLink::AutomationFile(const std::string& name) { return form_.AutomationFile(name); }

void GraphicsLink::SpeakFocus(std::u16string_view text) { form_.Text().SpeakFocus(text); }

}  // namespace mokuren
