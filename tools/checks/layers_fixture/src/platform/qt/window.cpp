#include "platform/qt/window.h"
#include "graphics/picture.h"
