// The events-file verbs that belong to the subsystems (saving, dialogs, debugging, screenshots).
#include "app/TForm1.h"

namespace mokuren {

bool TForm1::ApplySubsystemEvent(const Event& e) {
  if (e.verb == "screenshot" || e.verb == "screenshot-float") {
    SaveScreenshot(e.text, e.verb == "screenshot-float");
    return true;
  }
  if (ApplySaveEvent(e)) return true;
  if (ApplyDialogEvent(e)) return true;
  if (e.verb == "debug") {
    DebugDumpEvent(e);
    return true;
  }
  return false;
}

}  // namespace mokuren
