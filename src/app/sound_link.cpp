#include "app/sound_link.h"

#include "app/TForm1.h"

namespace mokuren {

bool SoundLink::SceneSkipping() { return form_.Text().SceneSkip != 0; }

}  // namespace mokuren
