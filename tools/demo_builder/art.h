// The demo game's pictures: GRAPHIC.DAT named entries and SYSGRP.DAT numbered entries; and the system
// pictures alone, in the demo's looks or a new game's neutral ones.
#pragma once

#include <map>
#include <string>

#include "art_theme.h"

namespace mokuren::demo {

struct DemoPicture {
  std::string name;  // as listed in GRAPHIC.DAT, with its extension ("BG01.PNG")
  std::string png;
};

struct DemoArt {
  std::map<int, DemoPicture> graphics;  // GRAPHIC.DAT entry number -> picture; the others stay empty
  std::map<int, std::string> sysgrp;    // SYSGRP.DAT entry number -> PNG bytes
};

DemoArt MakeDemoArt();

// Every system picture the engine and its screens use (SYSGRP.DAT entry -> PNG bytes): the message
// window, the buttons, the choice bands, the title, the save and load screens and the album, whose
// gallery pages show the first picture of each slot that `graphics` (by GRAPHIC.DAT entry) holds. Their
// words are in `language`: "ja", the original, or "en" and "ru", whose pictures the demo's translations
// replace the original's with.
std::map<int, std::string> MakeSystemArt(const ScreenTheme& theme, const std::map<int, DemoPicture>& graphics,
                                         const std::string& language = "ja");

}  // namespace mokuren::demo
