// Loading a compiled script into the engine: Kumo_ReadScript and the script string lists.
#include "script/script_loader.h"

#include <algorithm>
#include <cstring>

#include "base/error_list.h"
#include "base/error_texts.h"
#include "base/text_codec.h"
#include "script/opcodes.h"
#include "script/script_machine.h"

namespace mokuren {

void ScriptMachine::CreateScriptLists() {
  LabelNames.clear();
  JumpNames.clear();
  MessageTexts.clear();
  ResourceNames.clear();
}

ScriptEntryFault ScriptMachine::Kumo_ReadScript(int n) {
  ScriptNo = static_cast<int16_t>(n);
  // The entry's bytes, then empty string tables.
  std::vector<uint8_t> stream;
  const int found = host_.ReadScriptEntry(n & 0xFFFF, stream);
  LabelNames.clear();
  JumpNames.clear();
  MessageTexts.clear();
  ResourceNames.clear();
  // The code and the four tables. A missing entry becomes the empty script, so the interpreter meets an
  // end instruction at once instead of running the previous script's code under the new number.
  ScriptImage image;
  std::vector<std::string> problems;
  const std::u16string number = FromUtf8(std::to_string(n));
  const std::u16string where = u"SCRIPT.DAT: script " + number + u": ";
  ScriptEntryFault fault;
  if (found != 0 || stream.empty()) {
    errors_.Add(error_text::kScriptMissing, {{u"script", number}});
    // An entry the index gives bytes for could not be read; the error list has already said why.
    fault = host_.ScriptEntryListedEmpty(n & 0xFFFF) ? UnloadableScriptFault({})
                                                     : ScriptEntryFault(startup_text::kScriptEntryUnreadable);
    image = EmptyScriptImage();
  } else {
    const std::string_view entry(reinterpret_cast<const char*>(stream.data()), stream.size());
    if (!ParseScriptImage(entry, image, problems)) fault = UnloadableScriptFault(entry);
  }
  for (const std::string& p : problems) errors_.Add(where + FromUtf8(p));

  std::copy(image.code.begin(), image.code.end(), ScriptCode.begin());
  const bool hasEnd = std::any_of(image.code.begin(), image.code.end(),
                                  [](const ScriptInstruction& i) { return (i.Code & 0xFF) == op::End; });
  if (!hasEnd) {
    // Searches and execution would otherwise run on into an earlier script's leftover records.
    errors_.Add(error_text::kScriptWithoutEnd, {{u"script", number}});
    if (image.code.size() < ScriptCode.size())
      ScriptCode[image.code.size()] = ScriptInstruction{op::End, 0, 0, 0, 0, 0, 0};
  }
  auto load = [&image](ScriptTableKind kind) { return ScriptTableLines(image.tables[static_cast<int>(kind)]); };
  LabelNames = load(ScriptTableKind::Labels);
  JumpNames = load(ScriptTableKind::Jumps);
  ResourceNames = load(ScriptTableKind::Resources);
  MessageTexts = load(ScriptTableKind::Messages);

  // ResourceNameArray: the resource names by index, up to the "--END--" line added here.
  ResourceNames.push_back(u"--END--");
  size_t k = 0;
  for (; ResourceNames[k] != u"--END--"; ++k) {
    if (k == ResourceNameArray.size()) {
      errors_.Add(error_text::kTooManyResources, {{u"script", number}});
      break;
    }
    ResourceNameArray[k] = ResourceNames[k];
  }
  return fault;
}

}  // namespace mokuren
