// The settings dialog as the main window's menu opens it.
#include "dialogs/TConfigForm.h"
#include "dialogs/engine_dialogs.h"

namespace mokuren {

void EngineDialogs::menuConfigClick() {
  // The view centres the dialog on the main window when it shows it.
  TConfigForm& config = host_.ConfigForm();
  config.LoadSettings();
  host_.ShowModal(FormId::TConfigForm, config.ModalResult);
}

}  // namespace mokuren
