// The scenario language (UTF-8 text, docs/scenario-language.md) compiled to a SCRIPT.DAT entry.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "script/script_image.h"

namespace mokuren::toolkit {

// Where an instruction was written: the line and column of its statement.
struct SourcePosition {
  int line = 0;
  int column = 0;
};

// "file:line:column: message" for each fault; assembly stops collecting after a few dozen.
struct AssemblyResult {
  ScriptImage image;
  std::vector<SourcePosition> positions;  // one for each instruction of image.code
  std::vector<std::string> errors;
  bool ok() const { return errors.empty(); }
};

AssemblyResult AssembleScenario(std::string_view source, const std::string& fileName);

class AssemblyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The entry bytes of the scenario; throws AssemblyError listing every fault.
std::string AssembleScenarioOrThrow(std::string_view source, const std::string& fileName);

}  // namespace mokuren::toolkit
