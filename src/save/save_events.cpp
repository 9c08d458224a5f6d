// The events-file verbs of saving: what the quick buttons and the save/load screen's slots do, the
// comment dialog's text box and the screen's picture.
#include <iostream>

#include "app/TForm1.h"

namespace mokuren {

bool TForm1::ApplySaveEvent(const Event& e) {
  if (e.verb == "quicksave") {
    QuickSave();
  } else if (e.verb == "quickload") {
    QuickLoad();
  } else if (e.verb == "save" || e.verb == "load") {
    // The events file has checked that N is a whole number 1-100.
    const int n = std::stoi(e.args.at(0));
    if (e.verb == "load") {
      // A click on an empty slot does nothing; loading from the screen keeps the message log.
      LoadFromSlot(n);
    } else if (n == kQuickSlot) {
      // The save screen covers slot 100 with "通常セーブ不可" and ignores clicks there.
      ReportEvent(e, u"slot 100 is the quick-save slot and cannot be saved to");
    } else {
      SaveToSlot(n);
    }
  } else if (e.verb == "comment") {
    CommentEvent(e);
  } else if (e.verb == "screenshot-saveload") {
    SaveLoadScreenshotEvent(e);
  } else {
    return false;
  }
  return true;
}

}  // namespace mokuren
