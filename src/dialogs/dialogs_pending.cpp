// Dialog operations not built yet.
#include "app/TForm1.h"

namespace mokuren {

void TForm1::Kumo_Debug() {}
void TForm1::menuConfigClick() {}
void TForm1::AnswerOtherDialog(FormId, bool) {}
std::vector<std::u16string> TForm1::OtherFormTexts(FormId) { return {}; }

}  // namespace mokuren
