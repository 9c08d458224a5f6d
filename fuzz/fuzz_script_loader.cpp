// libFuzzer target: a SCRIPT.DAT entry through the parser the loader uses, then the tables as the
// loader splits them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/text_codec.h"
#include "script/script_image.h"

using namespace mokuren;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ScriptImage image;
  std::vector<std::string> problems;
  ParseScriptImage(std::string_view(reinterpret_cast<const char*>(data), size), image, problems);
  if (image.code.size() > static_cast<size_t>(kMaxInstructions)) __builtin_trap();
  for (const ScriptTable& table : image.tables)
    for (const std::string& line : SplitLines(table.bytes)) Cp932ToUtf16(line);
  // A parsed image encodes to no more bytes than it came from (tables may have been cut short).
  if (problems.empty() && EncodeScriptImage(image).size() != size) __builtin_trap();
  return 0;
}
