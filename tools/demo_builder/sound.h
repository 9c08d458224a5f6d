// The demo game's music, effects and voices, written under gameDir/Sound and gameDir/VOICE.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace mokuren::demo {

void MakeDemoSounds(const std::filesystem::path& gameDir);
// The opening movie's music: 44100 Hz stereo, `seconds` long, fading out at the end.
std::vector<int16_t> MakeOpeningMusic(double seconds);

}  // namespace mokuren::demo
