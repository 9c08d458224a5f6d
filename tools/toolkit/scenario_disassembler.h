// Compiled script entries back to the scenario language. Assembling the text gives the same bytes.
#pragma once

#include <string>
#include <string_view>

#include "script/script_image.h"

namespace mokuren::toolkit {

// The scenario text of a parsed entry. It uses texts and names inline when that reproduces the
// tables exactly, and otherwise declares the tables first and refers to their lines by #n. Instructions
// that no mnemonic reproduces exactly are written raw.
std::string DisassembleScript(const ScriptImage& image);

// Parses the entry first; throws std::runtime_error when the entry is not a well-formed script.
std::string DisassembleEntry(std::string_view entry);

}  // namespace mokuren::toolkit
