// Text operations not built yet: name entry.
#include "app/TForm1.h"

namespace mokuren {

// Until the dialog exists the default name counts as entered, so the script goes on.
void TForm1::ShowNameForm() { TaskCode = task::Script; }

}  // namespace mokuren
