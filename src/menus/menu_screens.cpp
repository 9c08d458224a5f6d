// What the title menu and the album share: their screens' pictures and fade, and play starting from a
// menu.
#include "app/TForm1.h"

namespace mokuren {

namespace {

constexpr int32_t kMenuFadeMs = 500;

}  // namespace

void TForm1::LoadMenuScreen(int32_t background, int32_t sheet) {
  platform().SetFloatVisible(false);
  Kumo_ReadGraphic(0, background, true);
  for (int32_t& image : LayerImage) image = 0;
  Kumo_ReadGraphic(51, sheet, true);
  // A replayed scene may have hidden the pointer or allowed the popup menu.
  CursorShown = 1;
  SystemMenuAllowed = 0;
  platform().SetCursorShown(true);
}

void TForm1::StartMenuFade(int32_t resumeTaskCode) { StartTransition(kMenuFadeMs, task::Effect91, resumeTaskCode); }

void TForm1::BeginPlay(uint8_t normalPlay) {
  LoadSystemPictures(false);
  SystemMenuAllowed = 1;
  Kumo_PlayBGM(0, 0, Block->Live.BgmVariant, 0);
  if (platform().MenuChecked(MenuItem::menuFloat)) platform().SetFloatVisible(true);
  Kumo_ClearReturnTbl();
  Kumo_ClearScenarioFlg();
  Kumo_ClearMsgLog();
  FastForward = 0;
  AutoMode = 0;
  // A replay disables saving and loading.
  NormalPlay = normalPlay;
}

}  // namespace mokuren
