// What the title menu and the album share: their screens' pictures and fade, and play starting from a
// menu.
#include "base/task_codes.h"
#include "menus/title_screen.h"

namespace mokuren {

namespace {

constexpr int32_t kMenuFadeMs = 500;

}  // namespace

void TitleMenu::LoadMenuScreen(int32_t background, int32_t sheet) {
  platform_.SetFloatVisible(false);
  host_.LoadPicture(0, background, true);
  for (int32_t& image : LayerImage) image = 0;
  host_.LoadPicture(51, sheet, true);
  // A replayed scene may have hidden the pointer or allowed the popup menu.
  CursorShown = 1;
  SystemMenuAllowed = 0;
  platform_.SetCursorShown(true);
}

void TitleMenu::StartMenuFade(int32_t resumeTaskCode) {
  host_.StartTransition(kMenuFadeMs, task::Effect91, resumeTaskCode);
}

void TitleMenu::BeginPlay(uint8_t normalPlay) {
  host_.LoadPlayPictures();
  SystemMenuAllowed = 1;
  host_.PlayBGM(0, 0, BgmVariant, 0);
  if (platform_.MenuChecked(MenuItem::menuFloat)) platform_.SetFloatVisible(true);
  host_.ClearReturnTable();
  host_.ClearScenarioFlags();
  host_.ClearMessageLog();
  PlayModes& modes = host_.Modes();
  modes.FastForward = 0;
  modes.AutoMode = 0;
  // A replay disables saving and loading.
  host_.SetNormalPlay(normalPlay);
}

void TitleMenu::StartSceneReplay() {
  host_.LoadFirstReplayScene();
  BeginPlay(0);
  host_.SetTaskCode(task::Script);
}

}  // namespace mokuren
