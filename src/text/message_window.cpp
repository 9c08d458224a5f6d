// The message window's making: the services it is handed and the settings it binds in the save block.
#include "text/message_window.h"

#include "text/game_translation.h"
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
      canvas_(canvas),
      translation_(std::make_unique<GameTranslation>([this](const std::u16string& line) { errors_.Add(line); })) {}

MessageWindow::~MessageWindow() = default;

std::u16string MessageWindow::EngineText(std::u16string_view text) const { return translation_->Engine(text); }

}  // namespace mokuren
