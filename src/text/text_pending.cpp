// Text and input operations not built yet: the input flags follow the keys and latches so that the
// waits of the main loop already answer.
#include "app/TForm1.h"

namespace mokuren {

void TForm1::Kumo_ClearKey() { KeyEnter = KeyCtrl = KeySpace = KeyLogBack = KeyLogForward = 0; }
void TForm1::Kumo_ClearMouseButton() { ClickPending = 0; }

void TForm1::Kumo_CheckKeyPush() {
  Platform& p = platform();
  WindowId front = p.Foreground();
  if (front == WindowId::Main || front == WindowId::Float) {
    Kumo_ClearKey();
    if (LeftDown) ClickPending = 1;
    if (KeyLock == 0) {
      KeySpace = p.KeyDown(Key::Space);
      KeyEnter = p.KeyDown(Key::Enter);
      KeyLogBack = p.KeyDown(Key::PageUp) || p.KeyDown(Key::F1);
      KeyLogForward = p.KeyDown(Key::PageDown) || p.KeyDown(Key::F2);
    }
    if (DebugMode) KeyCtrl = p.KeyDown(Key::Ctrl);
    if (WheelUp) KeyLogBack = 1;
    if (WheelDown) KeyLogForward = 1;
  }
  WheelDown = WheelUp = LeftDown = RightDown = 0;
  MousePos = p.CursorPos(WindowId::Main);
  FloatMousePos = p.CursorPos(WindowId::Float);
}

void TForm1::Kumo_MakeMessage(const std::u16string&) {}
void TForm1::Kumo_MakeSelect(const std::u16string&) {}
void TForm1::Kumo_AddMsgLog(const std::u16string&, int) {}
void TForm1::Kumo_DrawMessage() {}
void TForm1::Kumo_WaitMessage() {}
void TForm1::Kumo_WaitSelect() {}
void TForm1::Kumo_DrawSelect() {}
void TForm1::Kumo_ClearMsgLog() {}
void TForm1::DrawNotice(TABitmap&) {}

void TForm1::FormMouseDown(MouseButton button, Point client) {
  LeftDown = button == MouseButton::Left;
  RightDown = button == MouseButton::Right;
  ReadSkip = 0;
  AutoMode = 0;
  if (button == MouseButton::Right && SystemMenuAllowed) platform().PopupMenu(client);
}
void TForm1::FormMouseWheelUp() { WheelUp = 1; }
void TForm1::FormMouseWheelDown() { WheelDown = 1; }
void TForm1::PopupMenu1Popup() {}
void TForm1::menuKSkipClick() {}
void TForm1::menuSSkipClick() {}
void TForm1::menuAutoClick() {}
void TForm1::menuWindowClick() {}
void TForm1::menuFloatClick() {}

}  // namespace mokuren
