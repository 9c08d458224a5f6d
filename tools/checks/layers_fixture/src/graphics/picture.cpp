#include "graphics/picture.h"
#include "app/engine.h"
#include "picture.h"
#include "sound/mixer.h"
