#include "backends/qt/window.h"
#include "graphics/picture.h"
