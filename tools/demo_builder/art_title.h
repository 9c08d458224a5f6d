// The demo's title screen: its background (SYSGRP.DAT entry 61) and its sheet of item looks (entry 63).
#pragma once

#include <map>
#include <string>

namespace mokuren::demo {

// Puts entries 61 and 63 into sysgrp (PNG bytes), replacing what is there.
void AddTitleArt(std::map<int, std::string>& sysgrp);

}  // namespace mokuren::demo
