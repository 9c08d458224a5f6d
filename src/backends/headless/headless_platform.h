// The headless backend: no window and no sound device. A virtual clock advances by exactly the time the
// engine sleeps, so runs are repeatable and take no real time. Input comes from the events file.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/key_latch.h"
#include "platform/platform.h"

namespace mokuren {

class HeadlessPlatform : public Platform {
 public:
  explicit HeadlessPlatform(uint32_t startTick = 0) : tick_(startTick) {}

  void Attach(WindowHost& host) override { host_ = &host; }
  void ShowMainWindow() override { shown_ = true; }
  bool Headless() const override { return true; }
  bool NestedModalLoops() const override { return nestedModalLoops_; }
  // Keeps modal forms as states of the main loop, as the browser's backend does (tests).
  void SetNestedModalLoops(bool nested) { nestedModalLoops_ = nested; }

  uint32_t TickCount() override { return tick_; }
  void Sleep(uint32_t ms) override { tick_ += ms; }
  void ProcessMessages() override {}
  // Moves the virtual clock without a pass, as a stalled machine would (tests).
  void Stall(uint32_t ms) { tick_ += ms; }

  bool KeyDown(Key key) override { return keys_.Take(key); }
  bool KeyPressed(Key key) override { return keys_.TakePress(key); }
  WindowId Foreground() override;
  Point CursorPos(WindowId client) override;
  // A key goes to the window in front only: while a modal form is up the game never sees it, and the
  // save/load screen takes its presses itself.
  void InjectKey(Key key, bool down) override;
  void InjectCursor(WindowId window, Point p) override;

  void PaintMain(const TABitmap& frame) override { ++mainPaints_; }
  void PaintFloat(const TABitmap& frame) override {}
  void SetCursorShown(bool shown) override { cursorShown_ = shown; }
  void SetFullScreen(bool full) override { fullScreen_ = full; }
  void SetFloatVisible(bool visible) override { floatVisible_ = visible; }
  bool FloatVisible() override { return floatVisible_; }

  void SetMenuEnabled(MenuItem item, bool enabled) override { menuEnabled_[Index(item)] = enabled; }
  bool MenuEnabled(MenuItem item) override { return item != MenuItem::Count && menuEnabled_[Index(item)]; }
  void SetMenuCaption(MenuItem item, const std::u16string& caption) override { menuCaption_[Index(item)] = caption; }
  const std::u16string& MenuCaption(MenuItem item) const { return menuCaption_[Index(item)]; }
  void SetMenuChecked(MenuItem item, bool checked) override { menuChecked_[Index(item)] = checked; }
  bool MenuChecked(MenuItem item) override { return item != MenuItem::Count && menuChecked_[Index(item)]; }
  void PopupMenu(Point client, WindowId window) override { ++popups_; }

  void OpenForm(FormId form) override;
  void CloseForm(FormId form) override;
  void SetFormVisible(FormId form, bool visible) override { formVisible_[static_cast<size_t>(form)] = visible; }
  bool FormVisible(FormId form) const { return formVisible_[static_cast<size_t>(form)]; }

  // Tests: the sound output fails to open, for `why`.
  void FailSoundOutput(std::string why) { soundFault_ = std::move(why); }
  std::string SoundOutputFault() override { return soundFault_; }

  void FatalMessage(const std::string& utf8) override;
  void WarningMessage(const std::string& utf8) override;
  void SetMainCaption(const std::u16string& caption) override { caption_ = caption; }
  const std::u16string& MainCaption() const { return caption_; }

  int64_t MainPaints() const { return mainPaints_; }
  int Popups() const { return popups_; }
  bool FullScreenShown() const { return fullScreen_; }
  bool CursorShownNow() const { return cursorShown_; }

 private:
  static size_t Index(MenuItem item) { return static_cast<size_t>(item); }

  WindowHost* host_ = nullptr;
  uint32_t tick_;
  bool shown_ = false;
  bool nestedModalLoops_ = true;
  KeyLatch keys_;
  Point mainCursor_, floatCursor_;
  bool floatVisible_ = false;
  bool fullScreen_ = false;
  bool cursorShown_ = true;
  int64_t mainPaints_ = 0;
  int popups_ = 0;
  std::array<bool, static_cast<size_t>(MenuItem::Count)> menuEnabled_{true, true, true, true, true,
                                                                      true, true, true, true, true};
  std::array<bool, static_cast<size_t>(MenuItem::Count)> menuChecked_{};
  std::array<std::u16string, static_cast<size_t>(MenuItem::Count)> menuCaption_;
  std::array<bool, 7> formVisible_{};
  std::vector<FormId> openForms_;
  std::u16string caption_;
  std::string soundFault_;
};

}  // namespace mokuren
