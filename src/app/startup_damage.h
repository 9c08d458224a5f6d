// What the player is told when the game's data is damaged where start-up needs it: the first script or
// the start-up pictures. Each message names the archive, the entries and what is wrong with them, in
// Japanese, then in English, and says how the game goes on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/script_image.h"

namespace mokuren {

struct StartupMessage {
  std::string japanese;
  std::string english;
  // Both lines, as the platform shows them.
  std::string Text() const { return japanese + "\n" + english; }
};

// Script 1 could not be loaded; the empty script runs in its place.
StartupMessage StartupScriptMessage(const std::string& archive, const ScriptEntryFault& fault);

struct UnloadedPicture {
  int32_t entry;
  bool empty;  // the entry holds no bytes; otherwise they are unreadable or no usable PNG image
};

// Start-up pictures that did not load; the game goes on without them.
StartupMessage StartupPicturesMessage(const std::string& archive, const std::vector<UnloadedPicture>& pictures);

}  // namespace mokuren
