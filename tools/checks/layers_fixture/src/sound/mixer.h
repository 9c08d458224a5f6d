#pragma once
#include "base/strings.h"
