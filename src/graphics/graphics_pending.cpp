// Graphics operations not built yet.
#include "app/TForm1.h"

namespace mokuren {

void TForm1::Kumo_CheckButton() {}
void TForm1::Kumo_DrawButton() {}
void TForm1::EnableButtons() {}
void TForm1::SetButtonStates(const std::array<int32_t, 10>& states) { ButtonState = states; }

}  // namespace mokuren
