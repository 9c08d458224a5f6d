// album.txt of a game's sources: which pictures fill which slot of the album's picture gallery. The
// engine keeps fixed GRAPHIC.DAT entries for each slot (src/menus/album_tables.cpp); this file lets a
// writer name the pictures instead, and mokuren-build puts them at those entries.
//
//   # page-slot  first picture  [variants...]
//   1-1  EV01A EV01B
//   1-2  EV02A
//
// Names are files of pictures/ without ".png", in any letter case; `#` starts a comment. A slot takes
// as many pictures as its entries in the album's table (two for most).
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace mokuren::project {

struct AlbumPlacement {
  std::string picture;  // as written (without ".png")
  int entry;            // the GRAPHIC.DAT entry the album keeps for it
  int line;             // in album.txt
};

// The placements of album.txt's text; each mistake is added to `errors` as "FILE:LINE: message".
std::vector<AlbumPlacement> ParseAlbumFile(const std::string& text, const std::string& file,
                                           std::vector<std::string>& errors);

}  // namespace mokuren::project
