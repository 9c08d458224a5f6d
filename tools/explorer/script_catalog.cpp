#include "explorer/script_catalog.h"

#include <stdexcept>

#include "base/text_codec.h"
#include "platform/game_files.h"
#include "script/opcodes.h"
#include "script/script_image.h"
#include "toolkit/archive_reader.h"

namespace mokuren::explorer {

namespace {

std::string TableLine(const std::vector<std::u16string>& lines, int32_t n) {
  return n >= 0 && n < static_cast<int32_t>(lines.size()) ? ToUtf8(lines[static_cast<size_t>(n)]) : std::string();
}

CatalogScript ReadScript(int number, const ScriptImage& image) {
  CatalogScript script;
  script.number = number;
  const auto messages = ScriptTableLines(image.tables[static_cast<size_t>(ScriptTableKind::Messages)]);
  const auto labels = ScriptTableLines(image.tables[static_cast<size_t>(ScriptTableKind::Labels)]);
  for (size_t i = 0; i < image.code.size(); ++i) {
    const ScriptInstruction& ins = image.code[i];
    const auto step = static_cast<int32_t>(i);
    script.steps = step + 1;
    // Only a plain P1 names a table line; one read from a variable is known only when it runs.
    const bool plain = (ins.Modes & 3) == 0;
    if (ins.Code == op::End) break;
    if (ins.Code == op::Message && plain) script.messages.push_back({step, ins.P1, TableLine(messages, ins.P1)});
    if (ins.Code == op::Choice && plain) script.choices.push_back({step, ins.P1, TableLine(messages, ins.P1)});
    if (ins.Code == op::Label && plain) script.labels.push_back({step, TableLine(labels, ins.P1)});
  }
  return script;
}

}  // namespace

ScriptCatalog LoadScriptCatalog(const std::filesystem::path& gameDir) {
  const std::filesystem::path file = FindGameFile(gameDir, "SCRIPT.DAT");
  const toolkit::LoadedArchive archive = toolkit::LoadArchive(file.string());
  ScriptCatalog catalog;
  for (size_t n = 1; n < archive.Count(); ++n) {
    const std::string_view entry = archive.Entry(n);
    if (entry.empty()) continue;
    ScriptImage image;
    std::vector<std::string> problems;
    if (!ParseScriptImage(entry, image, problems))
      throw std::runtime_error(file.string() + ": script " + std::to_string(n) +
                               " cannot be read: " + (problems.empty() ? std::string("damaged") : problems.front()));
    catalog.scripts[static_cast<int>(n)] = ReadScript(static_cast<int>(n), image);
  }
  return catalog;
}

}  // namespace mokuren::explorer
