// The restore task: rebuilds screen, sound and script from the live record after a load.
#include "app/TForm1.h"

namespace mokuren {

void TForm1::Kumo_RestoreGame() {
  SaveRecord& live = Block->Live;
  // 1.
  NormalPlay = 1;
  // 2. A game saved without a background shows black.
  SurfaceTable[0].SetSize32(800, 600);
  SurfaceTable[0].FillRGB(0, 0, 0);
  // 3.
  if (BackgroundNo != 0) Kumo_ReadGraphic(0, BackgroundNo, false);
  // 4.
  for (int layer = 1; layer <= 5; ++layer)
    if (LayerImage[layer - 1] != 0) Kumo_ReadGraphic(layer, LayerImage[layer - 1], false);
  // 5.
  Kumo_PlayBGM(live.BgmNo, 3, live.BgmVariant, live.BgmLoop);
  // 6.
  for (int channel = 1; channel <= 3; ++channel)
    if (live.SeNo[channel - 1] != 0) Kumo_PlaySE(channel, live.SeNo[channel - 1], live.SeLoop[channel - 1], 0);
  // 7. Composing NextSurface is the first thing starting the transition does (step 10).
  // 8. The right button opens the popup menu exactly when SystemMenuAllowed is set; the mouse handler
  // reads that flag, which came back with the record.
  // 9. Loading the script must not move the step the record holds.
  if (ScriptNo != 0) {
    const int32_t step = StepNo;
    Kumo_ReadScript(ScriptNo);
    StepNo = step;
  }
  // 10. When the fade ends, the interpreter continues at StepNo + 1.
  StartTransition(500, task::Effect91, task::Script);
}

}  // namespace mokuren
