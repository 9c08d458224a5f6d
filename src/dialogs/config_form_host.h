// What the settings dialog asks of the rest of the engine besides the settings themselves (which it binds
// from the save block it is given): the mixer's volumes and the window mode. The engine's link
// (app/dialog_links.h) is the one implementation.
#pragma once

namespace mokuren {

class ConfigFormHost {
 public:
  // The mixer's slot volumes from the three volume settings.
  virtual void ApplyVolumes() = 0;
  // The main window to full screen, and back to a window.
  virtual void FullModeWin() = 0;
  virtual void ReturnFullModeWin() = 0;

 protected:
  ~ConfigFormHost() = default;
};

}  // namespace mokuren
