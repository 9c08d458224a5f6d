// The interpreter's longer instructions: message, choice, end of script, wait and system functions.
#include "base/error_list.h"
#include "base/error_texts.h"
#include "base/task_codes.h"
#include "base/text_codec.h"
#include "script/opcodes.h"
#include "script/script_machine.h"
#include "sound/sound_files.h"

namespace mokuren {

void ScriptMachine::ScriptMessage() {
  const ScriptRegisters& r = CurrentInstruction;
  PlayModes& modes = host_.Modes();
  // Input from before the message does not count.
  host_.ClearKeys();
  host_.ClearMouseButtons();
  // Voice kind 7 repeats the voice and keeps it playing into the following messages (until the
  // stop-voice system function); auto mode would never advance past a voice that does not end, so it
  // plays once there.
  const int32_t voice = r.Value;
  const bool repeatVoice = r.P2 == 7 && modes.AutoMode == 0;
  host_.NoteMessage(r.P1, voice, repeatVoice);
  // Both skip modes end at the first unread message; in a scene replay everything counts as read.
  if (modes.ReadSkip) {
    modes.FastForward = (CheckKidoku(r.P1) || NormalPlay == 0) ? 1 : 0;
    modes.ReadSkip = modes.FastForward;
  }
  if (modes.SceneSkip) {
    modes.FastForward = (CheckKidoku(r.P1) || NormalPlay == 0) ? 1 : 0;
    modes.SceneSkip = modes.FastForward;
  }
  // Marked whether it is then shown, skipped or cut short.
  MarkKidoku(r.P1);
  // The voice, unless the message is fast-forwarded.
  if (modes.FastForward == 0) {
    if (voice != -1) {
      if (voice >= 0 && voice < static_cast<int32_t>(ResourceNameArray.size())) {
        host_.PlayVoice(VoiceFileName(ResourceNameArray[voice]), repeatVoice ? 1 : 0);
      } else {
        ReportScriptFault(u"voice name line " + FromUtf8(std::to_string(voice)) +
                          u" is outside 0-9999; no voice plays");
      }
    } else {
      host_.StopVoiceUnlessLooping();
    }
  } else if (voice >= 0 && voice < static_cast<int32_t>(ResourceNameArray.size())) {
    host_.CheckVoice(VoiceFileName(ResourceNameArray[voice]));
  }
  const std::u16string text = MessageLine(r.P1);
  if (const std::u16string cut = host_.LayOutMessage(text); !cut.empty())
    ReportScriptFault(errors_.Shown(error_text::kMessageCut, {{u"text", cut}}));
  host_.AnnounceMessage(text);
  // Typing starts in the window, which shows a message, not a choice (the message wait tells them apart).
  host_.OpenMessageWindow();
  host_.SetTaskCode(task::MessageTyping);
  host_.DropMessageFrame();
}

void ScriptMachine::ScriptChoice() {
  const ScriptRegisters& r = CurrentInstruction;
  PlayModes& modes = host_.Modes();
  // Input from before the choice does not count.
  host_.ClearKeys();
  host_.ClearMouseButtons();
  // The voice is kept for the voice-replay button.
  host_.NoteChoice(r.P1, r.P2);
  // A choice always stops every skip and auto mode: the player must pick.
  modes.FastForward = modes.ReadSkip = modes.SceneSkip = modes.AutoMode = 0;
  const std::u16string text = MessageLine(r.P1);
  if (host_.LayOutChoices(text) == 1) ReportScriptFault(errors_.Shown(error_text::kChoiceOfOne, {{u"text", text}}));
  host_.AnnounceChoices();
  host_.ShowChoices();
  host_.SetTaskCode(task::SelectWait);
  host_.DropMessageFrame();
}

std::u16string ScriptMachine::MessageLine(int32_t line) {
  if (line >= 0 && line < static_cast<int32_t>(MessageTexts.size())) return MessageTexts[line];
  ReportScriptFault(u"message line " + FromUtf8(std::to_string(line)) + u" is not in the table (" +
                    FromUtf8(std::to_string(MessageTexts.size())) + u" lines); an empty text is shown");
  return {};
}

void ScriptMachine::ScriptEnd() {
  // The dismissed message's frame and every skip end with the script.
  host_.DropMessageFrame();
  PlayModes& modes = host_.Modes();
  modes.ReadSkip = modes.SceneSkip = modes.SectionSkip = modes.SectionSkipRequest = 0;
  // Normal play runs the same script again from its first instruction.
  if (NormalPlay != 0) {
    StepNo = -1;
    host_.SetTaskCode(task::Script);
    return;
  }
  // A scene replay runs the next listed script, and after the last one returns to the album.
  SceneTableCursor += 1;
  const int32_t size = static_cast<int32_t>(SceneTableRaw.size());
  const int32_t entry = SceneTableCursor >= 1 && SceneTableCursor <= size ? SceneTableRaw[SceneTableCursor - 1] : 0;
  if (entry == 0) {
    host_.HideFloatingWindow();
    host_.PlayGalleryMusic();
    Kumo_ReadScript(1);
    StepNo = TitleReturnStep;
    SceneTableRaw.fill(0);
    host_.SetTaskCode(task::EvMenuOpen);
  } else {
    host_.PlayMusic(0, 0, 0);  // the music stops between scenes
    Kumo_ReadScript(entry);
    StepNo = -1;
    host_.SetTaskCode(task::Script);
  }
}

bool ScriptMachine::ScriptWait() {
  const ScriptRegisters& r = CurrentInstruction;
  if (host_.Modes().SceneSkip) {
    host_.SetTaskCode(task::Script);
    return true;
  }
  if (r.P1 == op::wait::Movie && SystemVars[451] == 0) {
    host_.SetTaskCode(task::WaitMovie);
    return true;
  }
  if (r.P1 == op::wait::Click) {
    host_.SetTaskCode(task::WaitKey);
    return true;
  }
  if (r.P1 < 0) return false;  // other negative kinds (and -6 with the movie switched off) do nothing
  WaitClickable = r.P2 != 0 ? 1 : 0;
  WaitDeadline = static_cast<int32_t>(host_.Now() + static_cast<uint32_t>(r.P1));
  host_.SetTaskCode(task::Wait);
  return true;
}

bool ScriptMachine::ScriptSystemFunction() {
  const ScriptRegisters& r = CurrentInstruction;
  PlayModes& modes = host_.Modes();
  switch (r.P1) {
    case op::sys::Cursor: host_.ShowCursor(r.P2 != 0); return false;
    case op::sys::SystemMenu: host_.AllowSystemMenu(r.P2 != 0); return false;
    case op::sys::AllowSkip: host_.AllowSkip(r.P2 != 0); return false;
    case op::sys::SectionSkip:
      modes.SectionSkip = r.P2 != 0 ? 1 : 0;
      modes.SectionSkipRequest = 0;
      return false;
    case op::sys::Title:
      // Title menu: the script continues from here when a replay ends.
      modes.SceneSkip = modes.ReadSkip = modes.AutoMode = 0;
      NormalPlay = 1;
      TitleReturnStep = StepNo;
      host_.SetTaskCode(task::TitleMenuOpen);
      host_.DropMessageFrame();
      return true;
    case op::sys::HeroName:
      // Hero name entry: the dialog sets TaskCode 0 when it accepts a name, and the script goes on in the
      // same pass; fast-forward ends with the skips, or the next message would pass unseen.
      modes.FastForward = modes.SceneSkip = modes.ReadSkip = modes.AutoMode = 0;
      host_.SetTaskCode(task::NameEntry);
      host_.OpenNameEntry();
      return true;
    case op::sys::StopVoice:
      host_.StopVoice();
      host_.EndVoiceLoop();
      return false;
    default: return false;
  }
}

}  // namespace mokuren
