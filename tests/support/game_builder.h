// Builds a small game directory for a test: SCRIPT.DAT from scenario sources, GRAPHIC.DAT and
// SYSGRP.DAT from PNG bytes. All three archives are always written.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace mokuren::testing {

struct TestGame {
  std::map<int, std::string> scripts;                         // script number -> scenario source (UTF-8)
  std::vector<std::pair<std::string, std::string>> graphics;  // GRAPHIC.DAT entries 1.. : name, PNG bytes
  // SYSGRP.DAT entry -> PNG bytes; when empty, the neutral start-up pictures (NeutralSystemPictures).
  std::map<int, std::string> sysgrp;
};

// The pictures the engine loads from SYSGRP.DAT at start-up, opaque black at the sizes of the surfaces
// they go to: the game starts as it would without them, but with nothing missing to report.
const std::map<int, std::string>& NeutralSystemPictures();

// Writes SYSGRP.DAT into dir with these entries (the numbers between stay empty).
void WriteSystemArchive(const std::filesystem::path& dir, const std::map<int, std::string>& pictures);

// Writes the archives into dir (which must exist). A graphics name without an extension is listed with
// ".PNG" appended, so scripts name it as given ("BG01" -> "BG01.PNG"). Numbers missing from `scripts`
// and `sysgrp` are empty entries. Throws std::runtime_error with the assembler's file:line:column
// messages when a scenario does not assemble (the file is named "script<N>").
void BuildTestGame(const std::filesystem::path& dir, const TestGame& game);

// The compiled entry of one scenario (throws as above).
std::string AssembleTestScript(const std::string& source, const std::string& name = "script");

// PNG bytes of a picture of one colour (alpha 255 = opaque).
std::string SolidPng(int width, int height, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);

}  // namespace mokuren::testing
