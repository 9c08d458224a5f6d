// The demo game's pictures: GRAPHIC.DAT named entries and SYSGRP.DAT numbered entries.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace mokuren::demo {

struct DemoPicture {
  std::string name;  // as listed in GRAPHIC.DAT, with its extension ("BG01.PNG")
  std::string png;
};

struct DemoArt {
  std::vector<DemoPicture> graphics;  // GRAPHIC.DAT entries 1.. in this order
  std::map<int, std::string> sysgrp;  // SYSGRP.DAT entry number -> PNG bytes
};

DemoArt MakeDemoArt();

}  // namespace mokuren::demo
