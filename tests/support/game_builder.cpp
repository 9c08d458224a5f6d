#include "support/game_builder.h"

#include <stdexcept>

#include "toolkit/archive_writer.h"
#include "toolkit/png_writer.h"
#include "toolkit/scenario_assembler.h"

namespace mokuren::testing {

std::string AssembleTestScript(const std::string& source, const std::string& name) {
  try {
    return toolkit::AssembleScenarioOrThrow(source, name);
  } catch (const toolkit::AssemblyError& e) {
    throw std::runtime_error(std::string("the test scenario does not assemble:\n") + e.what());
  }
}

void BuildTestGame(const std::filesystem::path& dir, const TestGame& game) {
  std::vector<toolkit::ArchiveEntry> scripts;
  if (!game.scripts.empty()) {
    if (game.scripts.begin()->first < 1) throw std::runtime_error("script numbers start at 1");
    scripts.resize(static_cast<size_t>(game.scripts.rbegin()->first));
    for (size_t i = 0; i < scripts.size(); ++i) scripts[i].name = "script" + std::to_string(i + 1);
    for (const auto& [number, source] : game.scripts)
      scripts[static_cast<size_t>(number - 1)].bytes = AssembleTestScript(source, "script" + std::to_string(number));
  }
  toolkit::WriteArchive(dir / "SCRIPT.DAT", scripts);

  std::vector<toolkit::ArchiveEntry> graphics;
  for (const auto& [name, png] : game.graphics)
    graphics.push_back({name.find('.') == std::string::npos ? name + ".PNG" : name, png});
  toolkit::WriteArchive(dir / "GRAPHIC.DAT", graphics);

  std::vector<toolkit::ArchiveEntry> sysgrp;
  if (!game.sysgrp.empty()) {
    if (game.sysgrp.begin()->first < 1) throw std::runtime_error("SYSGRP.DAT entries start at 1");
    sysgrp.resize(static_cast<size_t>(game.sysgrp.rbegin()->first));
    for (size_t i = 0; i < sysgrp.size(); ++i) sysgrp[i].name = "SYS" + std::to_string(i + 1) + ".PNG";
    for (const auto& [number, png] : game.sysgrp) sysgrp[static_cast<size_t>(number - 1)].bytes = png;
  }
  toolkit::WriteArchive(dir / "SYSGRP.DAT", sysgrp);
}

std::string SolidPng(int width, int height, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return toolkit::SolidPng(width, height, r, g, b, a);
}

}  // namespace mokuren::testing
