#include "graphics/picture.h"
#include "app/engine.h"
#include "picture.h"
#include "text/layout.h"
