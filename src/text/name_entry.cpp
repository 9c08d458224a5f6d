// The script's name-entry instruction: the hero's name dialog, modal, until it accepts a name.
#include <algorithm>
#include <iterator>

#include "platform/platform.h"
#include "text/TNameForm.h"
#include "text/message_window.h"

namespace mokuren {

void MessageWindow::ShowNameForm() {
  // The stored name, when there is one, rather than the default.
  std::u16string stored;
  for (uint16_t unit : StoredHeroName) {
    if (unit == 0) break;
    stored.push_back(static_cast<char16_t>(unit));
  }
  host_.NameForm().Offer(stored);
  // TaskCode stays 0x800201 (no task runs) until CheckName accepts a name and sets it to 0.
  host_.ShowModal(FormId::TNameForm, host_.NameForm().ModalResult);
}

void MessageWindow::SetHeroName(const std::u16string& name) {
  HeroName = name;
  // The stored copy ends with 0 units; a name is at most six characters, far below its sixteen.
  std::fill(std::begin(StoredHeroName), std::end(StoredHeroName), uint16_t{0});
  std::copy_n(name.begin(), std::min(name.size(), std::size(StoredHeroName)), StoredHeroName);
}

}  // namespace mokuren
