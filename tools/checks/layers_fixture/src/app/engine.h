#pragma once
#include "graphics/picture.h"
#include "sound/mixer.h"
