// The events-file verbs that belong to the subsystems (saving, dialogs, debugging, screenshots).
#include "app/TForm1.h"

namespace mokuren {

void TForm1::ApplySubsystemEvent(const Event& e) {
  switch (e.verb) {
    case Verb::Screenshot:
    case Verb::ScreenshotFloat: SaveScreenshot(e.text, e.verb == Verb::ScreenshotFloat); break;
    case Verb::Debug: DebugDumpEvent(e); break;
    case Verb::Name:
    case Verb::Config: ApplyDialogEvent(e); break;
    default: ApplySaveEvent(e); break;
  }
}

}  // namespace mokuren
