// The album screens: the album menu (SYSGRP.DAT 65, 66), the music room (67, 68), the pages of
// the event-picture gallery (71-80) and of the event-scene gallery (81-90), and the galleries' sheets
// (97, 98), in the title's night colours.
#pragma once

#include <map>
#include <string>

#include "art.h"
#include "art_theme.h"

namespace mokuren::demo {

// Puts the album's entries into sysgrp (PNG bytes). `graphics` holds the game's pictures by
// GRAPHIC.DAT entry: each gallery slot whose first picture is there shows it as its thumbnail. The theme
// names the music room's rows and the scenes' cards; their words are in `language` ("ja" the original,
// "en", "ru").
void AddAlbumArt(std::map<int, std::string>& sysgrp, const std::map<int, DemoPicture>& graphics,
                 const ScreenTheme& theme, const std::string& language = "ja");

}  // namespace mokuren::demo
