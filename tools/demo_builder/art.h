// The demo game's pictures: GRAPHIC.DAT named entries and SYSGRP.DAT numbered entries.
#pragma once

#include <map>
#include <string>

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

}  // namespace mokuren::demo
