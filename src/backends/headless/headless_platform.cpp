#include "backends/headless/headless_platform.h"

#include <algorithm>
#include <iostream>
#include <limits>

#include "base/frame.h"
#include "platform/window_host.h"
#include "save/TForm7.h"

namespace mokuren {

namespace {

// A coordinate moved by `by` pixels; one far outside the window stays far outside instead of wrapping.
int32_t Shifted(int32_t v, int32_t by) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{v} + by, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

WindowId HeadlessPlatform::Foreground() {
  // A modal dialog takes the keyboard; the save/load screen is a window of the game's own.
  if (openForms_.empty()) return WindowId::Main;
  return openForms_.back() == FormId::TForm7 ? WindowId::SaveLoad : WindowId::Other;
}

Point HeadlessPlatform::CursorPos(WindowId client) {
  // One pointer: each window sees it in its own client coordinates. The floating window, when shown,
  // sits where the message window would be (y 416 of the main window).
  switch (client) {
    case WindowId::Float: return floatCursor_;
    default: return mainCursor_;
  }
}

void HeadlessPlatform::InjectCursor(WindowId window, Point p) {
  if (window == WindowId::Float) {
    floatCursor_ = p;
    mainCursor_ = {p.x, Shifted(p.y, kMessageWindowTop)};
  } else {
    mainCursor_ = p;
    floatCursor_ = {p.x, Shifted(p.y, -kMessageWindowTop)};
  }
}

void HeadlessPlatform::InjectKey(Key key, bool down) {
  if (openForms_.empty()) {
    keys_.Set(key, down);
  } else if (down && openForms_.back() == FormId::TForm7 && host_) {
    host_->GetSaveLoadForm().FormKeyDown(key);
  }
}

void HeadlessPlatform::OpenForm(FormId form) {
  openForms_.push_back(form);
  // The keyboard goes to the form, as a window that loses the focus forgets its keys: nothing held or
  // pressed before acts once the form closes.
  keys_.Clear();
}

void HeadlessPlatform::CloseForm(FormId form) {
  auto it = std::find(openForms_.rbegin(), openForms_.rend(), form);
  if (it != openForms_.rend()) openForms_.erase(std::next(it).base());
}

void HeadlessPlatform::FatalMessage(const std::string& utf8) { PrintFatalMessage(utf8); }
void HeadlessPlatform::WarningMessage(const std::string& utf8) { PrintFatalMessage(utf8); }

}  // namespace mokuren
