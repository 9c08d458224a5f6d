// The demo's save/load screen: ten page backgrounds for saving (SYSGRP.DAT 111-120), ten for loading
// (131-140) and the parts sheet (121).
#pragma once

#include <map>
#include <string>

namespace mokuren::demo {

// Puts entries 111-121 and 131-140 into sysgrp (PNG bytes), replacing what is there, with their words in
// `language` ("ja" the original, "en", "ru").
void AddSaveScreenArt(std::map<int, std::string>& sysgrp, const std::string& language = "ja");

}  // namespace mokuren::demo
