// The browser backend: the 800×600 frame on a canvas of the page, input from the page's events, the popup
// menu and the dialogs as HTML, the clock from the browser's. The page's script (web_page.js) draws and
// forwards input; the engine's passes run from the browser's frame callback (web_main.cpp), so modal forms
// are states of the main loop (NestedModalLoops is false) and a wait the engine asks for (Sleep) holds the
// next pass back instead of blocking the browser.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/key_latch.h"
#include "platform/platform.h"

namespace mokuren {

// What the page sends, kept until the engine's next rest delivers it.
struct WebInput {
  enum class Kind : uint8_t { MouseDown, MouseMove, Wheel, Key, Menu, DialogAnswer, Close, DebugButton, MenuClosed };
  Kind kind;
  int32_t a = 0, b = 0, c = 0;  // MouseDown: x, y, button; MouseMove: x, y; Wheel: steps (+ down);
                                // Key: key, down; Menu: item; DialogAnswer: form, ok;
                                // DebugButton: the debug window's button
  std::u16string text;          // DialogAnswer: the text box
};

class WebPlatform : public Platform {
 public:
  WebPlatform();

  void Attach(WindowHost& host) override { host_ = &host; }
  void ShowMainWindow() override;
  bool Headless() const override { return false; }

  uint32_t TickCount() override;
  void Sleep(uint32_t ms) override;
  void ProcessMessages() override;
  uint32_t Rest(uint32_t ms, std::optional<uint32_t> quietUntil) override;
  bool NestedModalLoops() const override { return false; }
  void PlayerFilesWritten() override;
  std::u16string_view PlayerFilesPlace() const override { return u"このブラウザ"; }

  bool KeyDown(Key key) override { return keys_.Take(key); }
  bool KeyPressed(Key key) override { return keys_.TakePress(key); }
  WindowId Foreground() override;
  Point CursorPos(WindowId client) override;
  void InjectKey(Key key, bool down) override { keys_.Set(key, down); }
  void InjectCursor(WindowId window, Point p) override { cursor_ = p; }

  void PaintMain(const TABitmap& frame) override;
  void PaintFloat(const TABitmap& frame) override;
  // Only the area that changed is converted and sent to the page, which puts it on the canvas in place.
  void PaintMainArea(const TABitmap& frame, const Rect& changed) override;
  void PaintFloatArea(const TABitmap& frame, const Rect& changed) override;
  void SetCursorShown(bool shown) override;
  void SetFullScreen(bool full) override;
  void SetFloatVisible(bool visible) override;
  bool FloatVisible() override { return floatVisible_; }

  void SetMenuEnabled(MenuItem item, bool enabled) override { Change(menu_[Index(item)].enabled, enabled); }
  bool MenuEnabled(MenuItem item) override { return item != MenuItem::Count && menu_[Index(item)].enabled; }
  void SetMenuCaption(MenuItem item, const std::u16string& caption) override {
    Change(menu_[Index(item)].caption, caption);
  }
  void SetMenuChecked(MenuItem item, bool checked) override { Change(menu_[Index(item)].checked, checked); }
  bool MenuChecked(MenuItem item) override { return item != MenuItem::Count && menu_[Index(item)].checked; }
  void PopupMenu(Point client, WindowId window) override;

  void OpenForm(FormId form) override;
  void CloseForm(FormId form) override;
  void SetFormVisible(FormId form, bool visible) override;
  void FormChanged(FormId form) override;

  void FatalMessage(const std::string& utf8) override;
  void WarningMessage(const std::string& utf8) override;
  void SetMainCaption(const std::u16string& caption) override;

  // From the page (web_main.cpp's exports).
  void Receive(WebInput input) { inputs_.push_back(std::move(input)); }
  // The tick before which no pass may run (a wait the engine asked for), and the one until which the
  // engine said it has nothing to do unless input comes.
  uint32_t HoldUntil() const { return holdUntil_; }
  std::optional<uint32_t> QuietUntil() const { return quietUntil_; }
  bool InputWaiting() const { return !inputs_.empty(); }
  // The main loop starts: the start-up's pause is not kept on the web, where the page has shown nothing
  // yet and the player waits for the title already.
  void LoopStarts() { holdUntil_ = TickCount(); }
  // Repaints the save/load screen while it is up (it is a view of its own over the frame).
  void PaintScreens();
  // The popup menu in the page shows the items as they are: what changed since it opened (an item greyed
  // while a message was typed that may be chosen now) is sent once the passes of a turn have run.
  void SendMenuChanges();

 private:
  static size_t Index(MenuItem item) { return static_cast<size_t>(item); }
  void Deliver(const WebInput& input);
  void ShowForm(FormId form);
  void Paint(int which, const TABitmap& frame, const Rect& area);
  std::string MenuJson() const;
  template <typename T>
  void Change(T& field, const T& value) {
    if (field == value) return;
    field = value;
    menuChanged_ = menuShown_;
  }

  struct MenuEntry {
    bool enabled = true;
    bool checked = false;
    std::u16string caption;
  };
  WindowHost* host_ = nullptr;
  KeyLatch keys_;  // a press and release both delivered at one rest still count once
  Point cursor_;
  bool floatVisible_ = false;
  std::array<MenuEntry, static_cast<size_t>(MenuItem::Count)> menu_;
  std::vector<FormId> openForms_;
  std::deque<WebInput> inputs_;
  uint32_t holdUntil_ = 0;
  uint32_t lastRest_ = 0;
  std::optional<uint32_t> quietUntil_;
  std::vector<uint8_t> rgba_;
  // The composed frame the engine last gave, painted whole again when the save/load screen leaves it.
  const TABitmap* mainFrame_ = nullptr;
  bool menuShown_ = false;
  bool menuChanged_ = false;
  // What the debug panel shows already: the dump and how many error lines it has been sent.
  std::vector<std::u16string> debugDump_;
  uint64_t debugErrorsSent_ = 0;
  bool debugVisible_ = false;
};

}  // namespace mokuren
