// The restore task: rebuilds screen, sound and script from the live record after a load.
#include "app/TForm1.h"

namespace mokuren {

void TForm1::Kumo_RestoreGame() {
  SaveRecord& live = Block->Live;
  // A loaded game is normal play, never a scene replay.
  NormalPlay = 1;
  // A game loaded from the title screen finds the title's sheet in place of the game's: the standard
  // system pictures come back, and the floating window when its menu item is checked, as when a game
  // starts from the title.
  LoadSystemPictures(false);
  if (platform().MenuChecked(MenuItem::menuFloat)) platform().SetFloatVisible(true);
  // A game saved without a background shows black.
  SurfaceTable[0].SetSize32(kFrameWidth, kFrameHeight);
  SurfaceTable[0].FillRGB(0, 0, 0);
  // The record's background and character layers.
  if (BackgroundNo != 0) Kumo_ReadGraphic(0, BackgroundNo, false);
  for (int layer = 1; layer <= 5; ++layer)
    if (LayerImage[layer - 1] != 0) Kumo_ReadGraphic(layer, LayerImage[layer - 1], false);
  // Music, fading in over 3 s, and the effects that were playing.
  Kumo_PlayBGM(live.BgmNo, 3, live.BgmVariant, live.BgmLoop);
  for (int channel = 1; channel <= 3; ++channel)
    if (live.SeNo[channel - 1] != 0) Kumo_PlaySE(channel, live.SeNo[channel - 1], live.SeLoop[channel - 1], 0);
  // The scene is composed into NextSurface by StartTransition, the last call here.
  // The right button opens the popup menu exactly when SystemMenuAllowed is set; the mouse handler
  // reads that flag, which came back with the record.
  // Loading the script must not move the step the record holds.
  if (ScriptNo != 0) {
    const int32_t step = StepNo;
    Kumo_ReadScript(ScriptNo);
    StepNo = step;
  }
  // When the fade ends, the interpreter continues at StepNo + 1.
  StartTransition(500, task::Effect91, task::Script);
}

}  // namespace mokuren
