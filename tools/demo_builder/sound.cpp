#include "sound.h"

namespace mokuren::demo {

void MakeDemoSounds(const std::filesystem::path& gameDir) {}

}  // namespace mokuren::demo
