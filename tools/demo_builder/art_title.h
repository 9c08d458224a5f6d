// The title screen: its background (SYSGRP.DAT entry 61) and its sheet of item looks (entry 63).
#pragma once

#include <map>
#include <string>

#include "art_bitmap.h"
#include "art_theme.h"
#include "graphics/ABitmap.h"

namespace mokuren::demo {

// The title's 800x600 night sky: a gradient, the moon and the magnolia branch in blossom (the opening
// movie is drawn over it too).
TABitmap TitleBackdrop();
// The backdrop of the title and the album screens: the night sky, with the branch when the theme has it.
TABitmap ScreenBackdrop(const ScreenTheme& theme);
// A soft-edged ellipse blended onto s at opacity alpha (0-255): blossoms, petals, the moon.
void Disc(TABitmap& s, double cx, double cy, double rx, double ry, Colour c, int alpha);

// Puts entries 61 and 63 into sysgrp (PNG bytes), replacing what is there, with their words in `language`
// ("ja" the original, "en", "ru").
void AddTitleArt(std::map<int, std::string>& sysgrp, const ScreenTheme& theme, const std::string& language = "ja");

}  // namespace mokuren::demo
