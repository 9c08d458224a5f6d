// The message log as the player uses it: messages and choices are added as they are passed, and inside
// the message wait PageUp / PageDown (F1 / F2, the wheel) page through them in the message window itself,
// PageDown from the newest entry back to the current message.
#include <algorithm>

#include "base/task_codes.h"
#include "text/message_window.h"

namespace mokuren {

void MessageWindow::Kumo_AddMsgLog(const std::u16string& text, int voice) {
  // A voice number the script's name list does not hold is kept as no voice, as the message had none.
  MsgLog.Add(text, host_.VoiceFile(voice));
}

void MessageWindow::Kumo_ClearMsgLog() {
  MsgLog.Clear();
  LogIndex = 0;
}

void MessageWindow::ShowMsgLogEntry() {
  const MessageLogEntry& entry = MsgLog[LogIndex];
  // An entry without voice stops the voice that was playing.
  host_.PlayVoice(entry.voicePath, 0);
  // Grey, because LogView is set, and typed again at the message speed.
  Kumo_MakeMessage(entry.text);
  host_.SetTaskCode(task::MessageWait);
  RevealCount = 0;
  KeyLock = kKeyLockPasses;
  KeyEnter = 0;
  ClickPending = 0;
}

void MessageWindow::BrowseMsgLog() {
  // A key pressed while an old entry is still being typed shows it whole; the next press steps. The wheel
  // always steps, so a turn of it runs through the log.
  if (LogView && (KeyLogBack || KeyLogForward) && !Input.LogByWheel && RevealCount <= TypedLength()) {
    RevealCount = 255;
    KeyLock = kKeyLockPasses;
    return;
  }
  if (KeyLogBack) {
    AutoMode = 0;
    if (!LogView) LogIndex = 0;
    LogView = 1;
    // The oldest entry is as far as it goes: a further step shows it again.
    LogIndex = std::min(LogIndex + 1, MessageLog::kSize);
    if (!MsgLog[LogIndex].text.empty()) {
      ShowMsgLogEntry();
      return;
    }
    // Nothing older: the screen stays as it is, and an empty log leaves the log view at once.
    if (--LogIndex < 1) {
      LogIndex = 0;
      LogView = 0;
    }
  }
  if (KeyLogForward) {
    AutoMode = 0;
    if (!LogView) LogIndex = 0;
    // A step forward from the newest entry comes back to the current message.
    if (LogIndex >= 2) {
      --LogIndex;
      ShowMsgLogEntry();
    } else if (LogView) {
      LeaveMsgLogView();
    }
  }
}

void MessageWindow::LeaveMsgLogView() {
  // The current message again, white and whole, without its voice.
  LogView = 0;
  Kumo_MakeMessage(MessageText(CurrentMessage));
  host_.SetTaskCode(task::MessageWait);
  StartWaiting();
  host_.StopVoice();
  host_.UnlightVoiceButton();
  RevealCount = 255;
  // The Enter that left the log is still down in the next passes; without the lock it would also pass
  // the message the player came back to read.
  if (KeyEnter) KeyLock = kKeyLockPasses;
  ClickPending = 0;
  KeyEnter = 0;
}

}  // namespace mokuren
