#include "support/game_builder.h"

#include <stdexcept>

#include "graphics/system_pictures.h"
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

const std::map<int, std::string>& NeutralSystemPictures() {
  // Opaque black at the sizes the engine creates their surfaces with: loading them changes no pixel.
  static const std::map<int, std::string> pictures = [] {
    std::map<int, std::string> p;
    for (const SystemPicture& picture : kStartupSystemPictures) {
      const bool button = picture.entry != 1 && picture.entry < 51;
      const int height = picture.entry == 1 ? 184 : picture.entry == 51 ? 600 : 40;
      p[picture.entry] = button ? SolidPng(64, 20, 0, 0, 0) : SolidPng(800, height, 0, 0, 0);
    }
    return p;
  }();
  return pictures;
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

  WriteSystemArchive(dir, game.sysgrp.empty() ? NeutralSystemPictures() : game.sysgrp);
}

void WriteSystemArchive(const std::filesystem::path& dir, const std::map<int, std::string>& pictures) {
  std::vector<toolkit::ArchiveEntry> sysgrp;
  if (!pictures.empty()) {
    if (pictures.begin()->first < 1) throw std::runtime_error("SYSGRP.DAT entries start at 1");
    sysgrp.resize(static_cast<size_t>(pictures.rbegin()->first));
    for (size_t i = 0; i < sysgrp.size(); ++i) sysgrp[i].name = "SYS" + std::to_string(i + 1) + ".PNG";
    for (const auto& [number, png] : pictures) sysgrp[static_cast<size_t>(number - 1)].bytes = png;
  }
  toolkit::WriteArchive(dir / "SYSGRP.DAT", sysgrp);
}

std::string SolidPng(int width, int height, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return toolkit::SolidPng(width, height, r, g, b, a);
}

}  // namespace mokuren::testing
