// The names of the game's sound files, relative to the game directory, as the engine builds them: music
// and effects by number, voices by the name a message gives. Tools that check a game use the same names.
#pragma once

#include <cstdint>
#include <string>

namespace mokuren {

// Sound files are held whole in memory while they play. A larger file (a damaged copy, a sparse file of
// gigabytes) is refused unread: an hour of music at 256 kbit/s takes about 110 MiB.
inline constexpr uint64_t kMaxSoundFileBytes = uint64_t{128} << 20;

// Tracks 1-7 have a second version.
inline constexpr int kFirstTrackWithVariant = 1;
inline constexpr int kLastTrackWithVariant = 7;

// "Sound\M" + the number with at least two digits + ".ogg", or "P.ogg" for a track's second version
// (only tracks 1-7 have one; the variant flag is ignored for the others).
std::string MusicFileName(int no, bool variant);
// "Sound\S" + the number with at least two digits + ".ogg".
std::string EffectFileName(int no);
// "VOICE\" + name + ".ogg".
std::u16string VoiceFileName(const std::u16string& name);
// A sound file's name as a message shows it to the player or writer: "/" between folders, whatever the
// game data wrote ("Sound/M09.ogg").
std::u16string ShownSoundPath(std::u16string name);

}  // namespace mokuren
