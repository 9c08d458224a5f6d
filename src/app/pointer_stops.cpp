// The places a gamepad's d-pad jumps the pointer between: what can be chosen on the frame just now.
#include "app/TForm1.h"
#include "menus/title_menu.h"
#include "text/message_layout.h"

namespace mokuren {

std::vector<Point> TForm1::PointerStops() {
  std::vector<Point> stops;
  if (TaskCode == task::SelectWait && text_.ChoiceActive) {
    // Bands are 40 rows high, 60 apart.
    for (int32_t i = 0; i < text_.ChoiceCount; ++i) stops.push_back({400, ChoiceTop(text_.ChoiceCount) + 60 * i + 20});
  } else if (TaskCode == task::TitleMenu) {
    for (int32_t item = 1; item <= title_menu::kItemCount; ++item)
      stops.push_back({(title_menu::kItemLeft + title_menu::kItemRight) / 2,
                       title_menu::ItemTop(item) + title_menu::kItemHeight / 2});
  }
  return stops;
}

}  // namespace mokuren
