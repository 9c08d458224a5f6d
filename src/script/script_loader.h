// Loading a compiled script into the engine (ScriptMachine::Kumo_ReadScript) on top of the stored form's parser.
#pragma once

#include "script/script_image.h"
