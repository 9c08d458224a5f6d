// The save/load screen is not built yet: its menu items and buttons open nothing.
#include "app/TForm1.h"

namespace mokuren {

void TForm1::menuSaveClick() { ShowSaveLoadScreen(0); }
void TForm1::menuLoadClick() { ShowSaveLoadScreen(1); }
void TForm1::ShowSaveLoadScreen(int) {}

}  // namespace mokuren
