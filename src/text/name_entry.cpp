// The script's name-entry instruction: the hero's name dialog, modal, until it accepts a name.
#include "app/TForm1.h"
#include "text/TNameForm.h"

namespace mokuren {

void TForm1::ShowNameForm() {
  // TaskCode stays 0x800201 (no task runs) until CheckName accepts a name and sets it to 0.
  ShowModal(FormId::TNameForm, NameForm->ModalResult);
}

}  // namespace mokuren
