#include "app/engine.h"
#include "platform/qt/window.h"
