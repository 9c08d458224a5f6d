#include "i18n/picture_uses.h"

#include "graphics/system_pictures.h"
#include "menus/album_layout.h"
#include "menus/title_menu.h"
#include "save/TForm7.h"

namespace mokuren::i18n {

std::string SystemPictureUse(int32_t entry) {
  using namespace std::string_literals;
  for (const SystemPicture& p : kStartupSystemPictures)
    if (p.entry == entry) return p.role + " (loaded at start-up)"s;
  if (entry == title_menu::kBackgroundEntry) return "the title screen: its background, with the items drawn on it";
  if (entry == title_menu::kSheetEntry) return "the title screen: the items' lit looks, and the movie switch's";
  if (entry == album::kMenuBackground) return "the album's menu: its background, with the items drawn on it";
  if (entry == album::kMenuSheet) return "the album's menu: the items' lit looks";
  if (entry == album::kMusicBackground) return "the music room: its background, with the tracks' names";
  if (entry == album::kMusicSheet) return "the music room: the rows' lit and playing looks";
  if (entry > album::PicturePageBackground(0) && entry <= album::PicturePageBackground(10))
    return "the album's event pictures: page " + std::to_string(entry - album::PicturePageBackground(0)) +
           ", with its thumbnails";
  if (entry > album::ScenePageBackground(0) && entry <= album::ScenePageBackground(10))
    return "the album's scenes: page " + std::to_string(entry - album::ScenePageBackground(0)) + ", with its cards";
  if (entry == album::kPictureSheet) return "the album's event pictures: the page tabs' and thumbnails' looks";
  if (entry == album::kSceneSheet) return "the album's scenes: the page tabs' and cards' looks";
  if (entry == 102) return "the load screen opened from the title: its first page's background";
  if (entry == 103) return "the load screen opened from the title: its parts (labels, tabs, NEW, back)";
  if (entry > TForm7::kSavePageBackgrounds && entry <= TForm7::kSavePageBackgrounds + 10)
    return "the save screen: page " + std::to_string(entry - TForm7::kSavePageBackgrounds) +
           "'s background, with its labels";
  if (entry > TForm7::kLoadPageBackgrounds && entry <= TForm7::kLoadPageBackgrounds + 10)
    return "the load screen: page " + std::to_string(entry - TForm7::kLoadPageBackgrounds) +
           "'s background, with its labels";
  if (entry == TForm7::kPartsSheetEntry) return "the save and load screens: their parts (labels, tabs, NEW, back)";
  return {};
}

}  // namespace mokuren::i18n
