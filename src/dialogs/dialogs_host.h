// What the dialogs' engine side (EngineDialogs) asks of the rest of the engine: the modal forms it
// answers and reads, showing a form modally, which form is in front, and a line about a bad event. The
// engine's link (app/dialog_links.h) is the one implementation.
#pragma once

#include <string>

#include "platform/event.h"
#include "platform/platform.h"

namespace mokuren {

class TCommentForm;
class TConfigForm;
class TNameForm;

class DialogsHost {
 public:
  virtual TNameForm& NameForm() = 0;
  virtual TCommentForm& CommentForm() = 0;
  virtual TConfigForm& ConfigForm() = 0;
  // The save/load screen's caption, as the dialog-text verb reads that screen.
  virtual std::u16string SaveScreenCaption() = 0;
  // Shows a modal form and runs engine passes until it is answered; returns its modal result.
  virtual int ShowModal(FormId form, int& modalResult) = 0;
  // Is `form` the modal form in front?
  virtual bool ModalOpen(FormId form) = 0;
  // "events line N: " + what, in the error list.
  virtual void ReportEvent(const Event& event, const std::u16string& what) = 0;

 protected:
  ~DialogsHost() = default;
};

}  // namespace mokuren
