// Text operations not built yet: the message log and its browsing.
#include "app/TForm1.h"
#include "dialogs/debug_dump.h"

namespace mokuren {

void TForm1::Kumo_AddMsgLog(const std::u16string&, int) {}
void TForm1::Kumo_ClearMsgLog() {}
void TForm1::LeaveMsgLogView() {}
void TForm1::BrowseMsgLog() {}

// The log keeps no entries yet: every entry dumps empty.
std::vector<std::u16string> TForm1::MessageLogDump() {
  return MessageLogDumpLines([](int) { return std::pair<std::u16string, std::u16string>{}; });
}

}  // namespace mokuren
