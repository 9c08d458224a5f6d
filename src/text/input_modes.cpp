// Input and play modes: the keys and mouse latches sampled once per pass into the flags the tasks use,
// read skip, scene skip, fast-forward, auto mode, the skippable section, the popup menu and the notice.
#include "base/task_codes.h"
#include "graphics/ABitmap.h"
#include "platform/focus_keys.h"
#include "text/engine_texts.h"
#include "text/game_translation.h"
#include "text/message_window.h"

namespace mokuren {

namespace {

// The notice line's text height, at the frame's bottom left.
constexpr int32_t kNoticeHeight = 14;

}  // namespace

void MessageWindow::Kumo_ClearKey() {
  KeyEnter = KeyCtrl = KeySpace = KeyLogBack = KeyLogForward = 0;
  Input.LogByWheel = 0;
  Input.Move = FocusMove::None;
  Input.KeyBack = 0;
}
void MessageWindow::Kumo_ClearMouseButton() { ClickPending = 0; }

void MessageWindow::Kumo_CheckKeyPush() {
  Platform& p = platform_;
  const WindowId front = p.Foreground();
  // Input counts only while one of the game's own windows is in front.
  if (front == WindowId::Main || front == WindowId::Float) {
    // Fresh key flags each pass; a left press since the last pass is a click.
    Kumo_ClearKey();
    if (LeftDown) ClickPending = 1;
    // Level-sampled: a held key acts again once the lock has run out (about every 100 ms).
    if (KeyLock == 0) {
      KeySpace = p.KeyDown(Key::Space);
      KeyEnter = p.KeyDown(Key::Enter);
      // Each key is asked, so a tap of the one is not kept for a later pass by the other being held.
      const bool pageUp = p.KeyDown(Key::PageUp), f1 = p.KeyDown(Key::F1);
      const bool pageDown = p.KeyDown(Key::PageDown), f2 = p.KeyDown(Key::F2);
      KeyLogBack = pageUp || f1;
      KeyLogForward = pageDown || f2;
    }
    // The keys that move between a screen's items act once per press, never locked.
    Input.Move = TakeFocusMove(p);
    Input.KeyBack = p.KeyPressed(Key::Escape);
    // Ctrl fast-forwards only in debug mode, and is never locked.
    if (host_.DebugMode()) KeyCtrl = p.KeyDown(Key::Ctrl);
    // The wheel pages through the message log like PageUp and PageDown.
    Input.LogByWheel = !KeyLogBack && !KeyLogForward && (WheelUp || WheelDown);
    if (WheelUp) KeyLogBack = 1;
    if (WheelDown) KeyLogForward = 1;
    // While the script runs, Ctrl alone decides fast-forward.
    if (host_.TaskCode() == task::Script) FastForward = KeyCtrl;
    // Any key or click ends read skip.
    if (KeyEnter || KeyCtrl || KeySpace || ClickPending) ReadSkip = 0;
    // Both skip modes fast-forward.
    if (ReadSkip) FastForward = 1;
    if (SceneSkip) FastForward = 1;
    // Where the script forbids skipping, every skip mode is off.
    if (SkipAllowed == 0) ReadSkip = SceneSkip = FastForward = 0;
    // The first key or click inside a skippable section skips the rest of it.
    if (SectionSkip) {
      if (KeyEnter || KeyCtrl || KeySpace || ClickPending) SectionSkipRequest = 1;
      SceneSkip = FastForward = SectionSkipRequest;
    }
  } else {
    DropFocusKeys(p);
  }
  // Latches are cleared even when another window is in front, so nothing pressed meanwhile acts later.
  WheelDown = WheelUp = LeftDown = RightDown = 0;
  MousePos = p.CursorPos(WindowId::Main);
  FloatMousePos = p.CursorPos(WindowId::Float);
}

void MessageWindow::LatchMouseDown(MouseButton button) {
  LeftDown = button == MouseButton::Left;
  RightDown = button == MouseButton::Right;
}

void MessageWindow::FormMouseDown(MouseButton button, Point client) {
  LatchMouseDown(button);
  // Any press in the main window ends read skip and auto mode.
  ReadSkip = 0;
  AutoMode = 0;
  if (button == MouseButton::Right) OpenPopupMenu(WindowId::Main, client);
}

void MessageWindow::OpenPopupMenu(WindowId window, Point client) {
  if (!SystemMenuAllowed) return;
  PopupMenu1Popup();
  platform_.PopupMenu(client, window);
}

void MessageWindow::FormMouseWheelUp() { WheelUp = 1; }
void MessageWindow::FormMouseWheelDown() { WheelDown = 1; }

void MessageWindow::PopupMenu1Popup() {
  platform_.SetMenuCaption(MenuItem::menuWindow, EngineText(WindowShown ? u"ウィンドウ消去" : kShowWindowCaption));
}

void MessageWindow::menuKSkipClick() { ReadSkip = 1; }

void MessageWindow::menuSSkipClick() {
  SceneSkip = 1;
  NoticeText = EngineText(u"シーンスキップしました");
  NoticeTimer = 300;
  // No frames are composed while scene skip runs, so the notice is put on the window at once.
  TABitmap& frame = host_.Frame();
  DrawNotice(frame);
  platform_.PaintMain(frame);
}

void MessageWindow::menuAutoClick() {
  // A repeating voice would hold auto mode back for ever.
  if (LoopingVoice) {
    host_.StopVoice();
    LoopingVoice = 0;
  }
  AutoMode = 1;
}

void MessageWindow::menuWindowClick() {
  AutoMode = 0;
  ReadSkip = 0;
  WindowShown = WindowShown ? 0 : 1;
  // A press not yet sampled does not act on the window brought back.
  LeftDown = ClickPending = 0;
}

void MessageWindow::menuFloatClick() {
  const bool checked = !platform_.MenuChecked(MenuItem::menuFloat);
  platform_.SetMenuChecked(MenuItem::menuFloat, checked);
  platform_.SetFloatVisible(checked);
}

void MessageWindow::DrawNotice(TABitmap& target) {
  if (NoticeText.empty()) return;
  // In a translation the notice is set in the translation's face, so accents and other scripts show as
  // they do in its messages; the Japanese canvas would draw them as "?".
  if (auto line = translation_->LineMask(NoticeText, kNoticeHeight)) {
    canvas_.CoverageOut(target, 17, 583, line, NoticeText, 0, 0, 0);
    canvas_.CoverageOut(target, 16, 582, line, NoticeText, 0, 255, 0);
    return;
  }
  canvas_.CanvasTextOut(target, 17, 583, NoticeText, kNoticeHeight, 0, 0, 0);
  canvas_.CanvasTextOut(target, 16, 582, NoticeText, kNoticeHeight, 0, 255, 0);
}

}  // namespace mokuren
