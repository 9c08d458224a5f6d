// Text operations not built yet: the message log and its browsing.
#include "app/TForm1.h"

namespace mokuren {

void TForm1::Kumo_AddMsgLog(const std::u16string&, int) {}
void TForm1::Kumo_ClearMsgLog() {}
void TForm1::LeaveMsgLogView() {}
void TForm1::BrowseMsgLog() {}

// Until the dialog exists the default name counts as entered, so the script goes on.
void TForm1::ShowNameForm() { TaskCode = task::Script; }

}  // namespace mokuren
