// The settings dialog as the main window's menu opens it.
#include "app/TForm1.h"
#include "dialogs/TConfigForm.h"

namespace mokuren {

void TForm1::menuConfigClick() {
  // The view centres the dialog on the main window when it shows it.
  ConfigForm->LoadSettings();
  ShowModal(FormId::TConfigForm, ConfigForm->ModalResult);
}

}  // namespace mokuren
