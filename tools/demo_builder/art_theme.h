// What the system pictures drawn here say and show: the demo's own words and its magnolia night, or the
// neutral set a new game starts from (mokuren-new), with the game's title on the title screen and no
// word of the demo's story.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace mokuren::demo {

// A replayable scene's card in the scene gallery: the scene's script, its title and the GRAPHIC.DAT
// entry of the picture it shows.
struct SceneCard {
  int script;
  std::u16string title;
  int picture;
};

struct ScreenTheme {
  std::u16string title;     // the game's name at the top of the title screen
  std::u16string subtitle;  // beside it, smaller (the demo: its reading)
  std::u16string credit;    // at the bottom right of the title screen
  bool blossoms = true;     // the moon and the magnolia branch behind the title and the album
  bool movie = true;        // the title's movie switch and the album's movie item are drawn
  // The music room's rows by track, each with the number it shows (row 8 plays 8, then 9 on a second
  // click): a track without a label leaves its row empty.
  std::map<int, std::u16string> tracks;
  std::vector<SceneCard> scenes;
  std::u16string emptySlot;  // the second line of a gallery card that has no picture, or none
};

// The demo game's screens.
ScreenTheme DemoTheme();
// A new game's: its title, the tracks it has (by number, each row named after its file), no movie.
ScreenTheme StarterTheme(const std::u16string& title, const std::vector<int>& tracks);

}  // namespace mokuren::demo
