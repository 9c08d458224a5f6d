// Save operations not built yet: nothing is read or written.
#include "app/TForm1.h"

namespace mokuren {

bool TForm1::Kumo_CheckSaveFile() { return true; }
void TForm1::Kumo_CreateSaveFile() {}
void TForm1::Kumo_ReadSaveFile() {}
void TForm1::Kumo_RestoreGame() { TaskCode = task::Script; }
void TForm1::CreateThumbFolder() {}
void TForm1::menuSaveClick() {}
void TForm1::menuLoadClick() {}

}  // namespace mokuren
