// The message window's making: the services it is handed and the settings it binds in the save block.
#include "text/message_window.h"

#include "text/speech.h"
#include "text/text_hook.h"

namespace mokuren {

MessageWindow::MessageWindow(MessageHost& host, Platform& platform, ErrorList& errors, SaveBlock& block,
                             CanvasText& canvas)
    : MessageSpeed(block.MessageSpeed),
      AutoDelay(block.AutoDelay),
      SkipAllowed(block.Live.SkipAllowed),
      SystemMenuAllowed(block.Live.SystemMenuAllowed),
      StoredHeroName(block.StoredHeroName),
      host_(host),
      platform_(platform),
      errors_(errors),
      canvas_(canvas) {}

MessageWindow::~MessageWindow() = default;

}  // namespace mokuren
