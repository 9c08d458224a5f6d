// EngineDialogs: what the engine does with its modal forms beyond showing them: the popup menu's settings
// item, and the events file's verbs that answer or read a form other than the confirmation ("dialog",
// "dialog-text") or fill one in ("name", "config"). The forms themselves are the engine's; it reaches them
// through its DialogsHost.
#pragma once

#include <string>
#include <vector>

#include "dialogs/dialogs_host.h"
#include "platform/event.h"
#include "platform/platform.h"

namespace mokuren {

class EngineDialogs {
 public:
  explicit EngineDialogs(DialogsHost& host) : host_(host) {}
  EngineDialogs(const EngineDialogs&) = delete;
  EngineDialogs& operator=(const EngineDialogs&) = delete;

  // Opens the settings dialog on the current settings.
  void menuConfigClick();
  // Answers a modal dialog other than the confirmation (the events file's "dialog" verb).
  void AnswerOtherDialog(FormId form, bool ok);
  // The texts of a modal form other than the confirmation (the events file's "dialog-text" verb).
  std::vector<std::u16string> OtherFormTexts(FormId form);
  // The events file's "name" and "config" verbs on the dialog's state.
  void ApplyDialogEvent(const Event& e);

 private:
  DialogsHost& host_;
};

}  // namespace mokuren
