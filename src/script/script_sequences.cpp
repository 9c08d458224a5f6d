// The interpreter's longer instructions: message, choice, end of script, wait and system functions.
#include "app/TForm1.h"
#include "script/opcodes.h"
#include "sound/sound_files.h"
#include "base/text_codec.h"

namespace mokuren {

void TForm1::ScriptMessage() {
  const ScriptRegisters& r = CurrentInstruction;
  // Input from before the message does not count.
  Kumo_ClearKey();
  Kumo_ClearMouseButton();
  // Voice kind 7 repeats the voice and keeps it playing into the following messages (until the
  // stop-voice system function); auto mode would never advance past a voice that does not end, so it
  // plays once there.
  CurrentMessage = r.P1;
  CurrentVoice = r.Value;
  VoiceRepeat = 0;
  if (r.P2 == 7 && AutoMode == 0) {
    VoiceRepeat = 1;
    LoopingVoice = 1;
  }
  // Both skip modes end at the first unread message; in a scene replay everything counts as read.
  if (ReadSkip) {
    FastForward = (CheckKidoku(r.P1) || NormalPlay == 0) ? 1 : 0;
    ReadSkip = FastForward;
  }
  if (SceneSkip) {
    FastForward = (CheckKidoku(r.P1) || NormalPlay == 0) ? 1 : 0;
    SceneSkip = FastForward;
  }
  // Marked whether it is then shown, skipped or cut short.
  MarkKidoku(r.P1);
  // The voice, unless the message is fast-forwarded.
  if (FastForward == 0) {
    if (CurrentVoice != -1) {
      if (CurrentVoice >= 0 && CurrentVoice < static_cast<int32_t>(ResourceNameArray.size())) {
        Kumo_PlayVOICE(VoiceFileName(ResourceNameArray[CurrentVoice]), VoiceRepeat);
      } else {
        ReportScriptFault(u"voice name line " + FromUtf8(std::to_string(CurrentVoice)) +
                          u" is outside 0-9999; no voice plays");
      }
    } else if (LoopingVoice == 0) {
      StopSlot(stream::Voice);
    }
  }
  const std::u16string text = MessageLine(r.P1);
  Kumo_MakeMessage(text);
  AnnounceMessage(text);
  // Typing starts in the window. The entry on screen is a message, not a choice: ChoiceActive tells the
  // message wait.
  WindowShown = 1;
  ChoiceActive = 0;
  LogView = 0;
  TaskCode = task::MessageTyping;
  RevealCount = 0;
  MessageDone = 0;
}

void TForm1::ScriptChoice() {
  const ScriptRegisters& r = CurrentInstruction;
  // Input from before the choice does not count.
  Kumo_ClearKey();
  Kumo_ClearMouseButton();
  // The voice is kept for the voice-replay button.
  CurrentMessage = r.P1;
  CurrentVoice = r.P2;
  // A choice always stops every skip and auto mode: the player must pick.
  FastForward = ReadSkip = SceneSkip = AutoMode = 0;
  Kumo_MakeSelect(MessageLine(r.P1));
  AnnounceChoices();
  // The choices replace the message window; ChoiceActive marks the entry on screen as a choice.
  WindowShown = 0;
  ChoiceActive = 1;
  Kumo_DrawSelect();
  TaskCode = task::SelectWait;
  MessageDone = 0;
}

std::u16string TForm1::MessageLine(int32_t line) {
  if (line >= 0 && line < static_cast<int32_t>(MessageTexts.size())) return MessageTexts[line];
  ReportScriptFault(u"message line " + FromUtf8(std::to_string(line)) + u" is not in the table (" +
                    FromUtf8(std::to_string(MessageTexts.size())) + u" lines); an empty text is shown");
  return {};
}

void TForm1::ScriptEnd() {
  // The dismissed message's frame and every skip end with the script.
  MessageDone = ReadSkip = SceneSkip = SectionSkip = SectionSkipRequest = 0;
  // Normal play runs the same script again from its first instruction.
  if (NormalPlay != 0) {
    StepNo = -1;
    TaskCode = task::Script;
    return;
  }
  // A scene replay runs the next listed script, and after the last one returns to the album.
  SceneTableCursor += 1;
  const int32_t size = static_cast<int32_t>(SceneTableRaw.size());
  const int32_t entry = SceneTableCursor >= 1 && SceneTableCursor <= size ? SceneTableRaw[SceneTableCursor - 1] : 0;
  if (entry == 0) {
    platform().SetFloatVisible(false);
    Kumo_PlayBGM(AlbumBgmNo, 1, Block->Live.BgmVariant, 1);
    Kumo_ReadScript(1);
    StepNo = TitleReturnStep;
    SceneTableRaw.fill(0);
    TaskCode = task::EvMenuOpen;
  } else {
    Kumo_PlayBGM(0, 0, Block->Live.BgmVariant, 0);  // the music stops between scenes
    Kumo_ReadScript(entry);
    StepNo = -1;
    TaskCode = task::Script;
  }
}

bool TForm1::ScriptWait() {
  const ScriptRegisters& r = CurrentInstruction;
  if (SceneSkip) {
    TaskCode = task::Script;
    return true;
  }
  if (r.P1 == op::wait::Movie && SystemVars[451] == 0) {
    TaskCode = task::WaitMovie;
    return true;
  }
  if (r.P1 == op::wait::Click) {
    TaskCode = task::WaitKey;
    return true;
  }
  if (r.P1 < 0) return false;  // other negative kinds (and -6 with the movie switched off) do nothing
  WaitClickable = r.P2 != 0 ? 1 : 0;
  WaitDeadline = static_cast<int32_t>(platform().TickCount() + static_cast<uint32_t>(r.P1));
  TaskCode = task::Wait;
  return true;
}

bool TForm1::ScriptSystemFunction() {
  const ScriptRegisters& r = CurrentInstruction;
  switch (r.P1) {
    case op::sys::Cursor:
      CursorShown = r.P2 != 0 ? 1 : 0;
      platform().SetCursorShown(CursorShown != 0);
      return false;
    case op::sys::SystemMenu: SystemMenuAllowed = r.P2 != 0 ? 1 : 0; return false;
    case op::sys::AllowSkip: SkipAllowed = r.P2 != 0 ? 1 : 0; return false;
    case op::sys::SectionSkip:
      SectionSkip = r.P2 != 0 ? 1 : 0;
      SectionSkipRequest = 0;
      return false;
    case op::sys::Title:
      // Title menu: the script continues from here when a replay ends.
      SceneSkip = ReadSkip = AutoMode = 0;
      NormalPlay = 1;
      TitleReturnStep = StepNo;
      TaskCode = task::TitleMenuOpen;
      MessageDone = 0;
      return true;
    case op::sys::HeroName:
      // Hero name entry: the dialog sets TaskCode 0 when it accepts a name.
      SceneSkip = ReadSkip = AutoMode = 0;
      TaskCode = task::NameEntry;
      ShowNameForm();
      return true;
    case op::sys::StopVoice:
      StopSlot(stream::Voice);
      LoopingVoice = 0;
      return false;
    default: return false;
  }
}

}  // namespace mokuren
