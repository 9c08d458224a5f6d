// The restore task: rebuilds screen, sound and script from the live record after a load.
#include "base/frame.h"
#include "base/task_codes.h"
#include "platform/platform.h"
#include "save/save_data.h"
#include "save/save_host.h"

namespace mokuren {

void SaveData::Kumo_RestoreGame() {
  SaveRecord& live = Block->Live;
  // A loaded game is normal play, never a scene replay.
  host_.SetNormalPlay(1);
  // A game loaded from the title screen finds the title's sheet in place of the game's: the standard
  // system pictures come back, and the floating window when its menu item is checked, as when a game
  // starts from the title.
  host_.LoadStandardSystemPictures();
  if (platform_.MenuChecked(MenuItem::menuFloat)) platform_.SetFloatVisible(true);
  // A game saved without a background shows black.
  host_.BlackBackground();
  // The record's background and character layers.
  if (live.BackgroundNo != 0) host_.LoadScenePicture(0, live.BackgroundNo);
  for (int layer = 1; layer <= 5; ++layer)
    if (live.LayerImage[layer - 1] != 0) host_.LoadScenePicture(layer, live.LayerImage[layer - 1]);
  // Music, fading in over 3 s, and the effects that were playing.
  host_.PlayBgm(live.BgmNo, 3, live.BgmVariant, live.BgmLoop);
  for (int channel = 1; channel <= 3; ++channel)
    if (live.SeNo[channel - 1] != 0) host_.PlaySe(channel, live.SeNo[channel - 1], live.SeLoop[channel - 1], 0);
  // The scene is composed into NextSurface by StartTransition, the last call here.
  // The right button opens the popup menu exactly when SystemMenuAllowed is set; the mouse handler
  // reads that flag, which came back with the record.
  // Loading the script must not move the step the record holds.
  if (live.ScriptNo != 0) {
    const int32_t step = live.StepNo;
    host_.ReadScript(live.ScriptNo);
    live.StepNo = step;
  }
  // When the fade ends, the interpreter continues at StepNo + 1.
  host_.StartTransition(500, task::Effect91, task::Script);
}

}  // namespace mokuren
