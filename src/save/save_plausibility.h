// Whether a SAVE.DAT of the right size is one that an engine wrote for this game: its size is the only
// mark of the format, so a file the player brings (an import) is also read for values no engine writes. A
// slot in use holds 1 in its used byte, a date between 1990 and 2200, the number of a script the game has
// (or none) and a step inside that script's code, and a call depth of 16 or less; the settings lie in the ranges the
// settings dialog offers.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/save_block.h"

namespace mokuren {

class ErrorList;

// The number of instructions of script n, none when the game has no script n.
using ScriptStepCount = std::function<std::optional<int32_t>(int n)>;

// The first value that makes `block` implausible, in the player's words; empty when none does.
std::u16string ImplausibleSave(const ErrorList& errors, const SaveBlock& block, const ScriptStepCount& steps);

}  // namespace mokuren
