// The events-file verbs of saving: what the quick buttons and the save/load screen's slots do, the
// comment dialog's text box and the screen's picture.
#include <iostream>

#include "platform/event.h"
#include "save/save_data.h"
#include "save/save_host.h"

namespace mokuren {

bool SaveData::ApplySaveEvent(const Event& e) {
  switch (e.verb) {
    case Verb::QuickSave: QuickSave(); break;
    case Verb::QuickLoad: QuickLoad(); break;
    // A click on an empty slot does nothing; loading from the screen keeps the message log.
    case Verb::Load: LoadFromSlot(e.slot); break;
    case Verb::Save:
      if (e.slot == kQuickSlot) {
        // The save screen covers slot 100 with "通常セーブ不可" and ignores clicks there.
        host_.ReportEvent(e, u"slot 100 is the quick-save slot and cannot be saved to");
      } else {
        SaveToSlot(e.slot);
      }
      break;
    case Verb::Comment: CommentEvent(e); break;
    case Verb::ScreenshotSaveLoad: return SaveLoadScreenshotEvent(e);
    default: break;
  }
  return true;
}

}  // namespace mokuren
