// The demo game's music, effects and voices, written under gameDir/Sound and gameDir/VOICE.
#pragma once

#include <filesystem>

namespace mokuren::demo {

void MakeDemoSounds(const std::filesystem::path& gameDir);

}  // namespace mokuren::demo
