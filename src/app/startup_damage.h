// What the player is told when the game's data is damaged where start-up needs it: the first script or
// the start-up pictures. Each message names the archive, the entries and what is wrong with them, and says
// how the game goes on: in the player's language where the engine's translation has it, otherwise in
// Japanese, then in English (base/startup_message.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/text_translator.h"
#include "script/script_image.h"

namespace mokuren {

// Script 1 could not be loaded; the empty script runs in its place. What is wrong with it is told in
// English under a translation.
std::string StartupScriptMessage(const TextTranslator& translator, const std::string& archive,
                                 const ScriptEntryFault& fault);

struct UnloadedPicture {
  int32_t entry;
  bool empty;  // the entry holds no bytes; otherwise they are unreadable or no usable PNG image
};

// Start-up pictures that did not load; the game goes on without them. `english` receives the message's
// English line, for the error list.
std::string StartupPicturesMessage(const TextTranslator& translator, const std::string& archive,
                                   const std::vector<UnloadedPicture>& pictures, std::u16string& english);

}  // namespace mokuren
