// Whether the player asked the game to read aloud (the settings dialog's "読み上げ"), kept for every game
// in the player's config folder: $XDG_CONFIG_HOME/mokuren/speech, "on" or "off".
#pragma once

namespace mokuren {

// False when the file is missing, unreadable or says anything but "on".
bool ReadSpeechSetting();
// Replaces the file whole; false when it could not be written.
bool WriteSpeechSetting(bool on);

}  // namespace mokuren
