#pragma once
#include "graphics/picture.h"
#include "text/layout.h"
