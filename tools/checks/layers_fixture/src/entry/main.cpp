#include "app/engine.h"
#include "backends/qt/window.h"
