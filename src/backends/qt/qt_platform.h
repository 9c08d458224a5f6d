// The Qt backend: the game as players use it.
#pragma once

#include <QApplication>
#include <QMenu>
#include <QSocketNotifier>
#include <QTimer>
#include <array>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/key_latch.h"
#include "platform/platform.h"
#include "platform/window_memory.h"

namespace mokuren {

class MainWindow;
class FloatWindow;
class QueryDialog;
class SaveLoadView;
class CommentDialog;
class NameDialog;
class ConfigDialog;
class DebugWindow;
class AutomatedDialog;
class InstanceGuard;
class X11AreaPainter;
class Gamepad;
class PointerTracker;

class QtPlatform final : public Platform {
 public:
  QtPlatform(int& argc, char** argv);
  ~QtPlatform() override;

  void Attach(WindowHost& host) override;
  void ShowMainWindow() override;
  bool Headless() const override { return false; }

  uint32_t TickCount() override;
  void Sleep(uint32_t ms) override;
  void ProcessMessages() override;
  uint32_t Rest(uint32_t ms, std::optional<uint32_t> quietUntil) override;

  bool KeyDown(Key key) override { return keys_.Take(key); }
  bool KeyPressed(Key key) override { return keys_.TakePress(key); }
  WindowId Foreground() override;
  Point CursorPos(WindowId client) override;
  void InjectKey(Key key, bool down) override { keys_.Set(key, down); }
  void InjectCursor(WindowId window, Point p) override;

  void PaintMain(const TABitmap& frame) override;
  void PaintFloat(const TABitmap& frame) override;
  void PaintMainArea(const TABitmap& frame, const Rect& changed) override;
  void PaintFloatArea(const TABitmap& frame, const Rect& changed) override;
  void SetCursorShown(bool shown) override;
  void SetFullScreen(bool full) override;
  void SetFloatVisible(bool visible) override;
  bool FloatVisible() override;

  void SetMenuEnabled(MenuItem item, bool enabled) override;
  bool MenuEnabled(MenuItem item) override;
  void SetMenuCaption(MenuItem item, const std::u16string& caption) override;
  void SetMenuChecked(MenuItem item, bool checked) override;
  bool MenuChecked(MenuItem item) override;
  void PopupMenu(Point client, WindowId window) override;

  void OpenForm(FormId form) override;
  void CloseForm(FormId form) override;
  void SetFormVisible(FormId form, bool visible) override;
  void FormChanged(FormId form) override;

  void FatalMessage(const std::string& utf8) override;
  void WarningMessage(const std::string& utf8) override;
  void SetMainCaption(const std::u16string& caption) override;
  void UseLanguage(std::string_view language) override;

  bool DeliverEvent(const Event& event) override;
  bool FrontDialogTexts(std::u16string& texts) override;

  // Called by the views, and by tests.
  WindowHost& host() { return *host_; }
  QMenu& Menu() { return *menu_; }
  QWidget& Main();
  QWidget& FloatView();
  // The views of the name and settings dialogs while they are up, and the debug window once shown.
  NameDialog* NameView() { return name_.get(); }
  ConfigDialog* ConfigView() { return config_.get(); }
  DebugWindow* DebugView() { return debug_.get(); }
  void SetKey(Key key, bool down) { keys_.Set(key, down); }
  void RepeatKey(Key key) { keys_.Repeat(key); }
  void ClearKeys() { keys_.Clear(); }
  // The window's first size: n times the frame (--scale), made smaller when the screen is smaller.
  void SetWindowScale(int n) { windowScale_ = n; }
  // Keeps the main window's size, place and scale for the game in `gameDir` when the platform ends, and
  // with `restore` starts it where it was left (a place off every screen is not used, its scale is).
  void RememberWindowIn(const std::filesystem::path& gameDir, bool restore);
  // A second start of the same game asks through `guard` to see this one: the main window (or the
  // dialog in front of it) is raised and activated.
  void WatchRaiseRequests(InstanceGuard& guard);
  void RaiseMainWindow();
  // The main window moved or changed size: the floating window follows the picture's scale.
  void MainPlaced();
  // The dialog or save/load screen in front, or null while the game's own window is.
  QWidget* FrontView();
  // Where the pointer is on the screen, as the game last saw it move.
  QPoint PointerGlobal() const;
  // The keys a game's window acts on itself besides handing them to the engine: Escape opens the popup
  // menu (at the pointer when it is on `window`'s picture, else at the picture's middle).
  void NavigationKey(int qtKey, WindowId window);
  // Puts the pointer at a point of the screen, for the events file and the gamepad.
  void MovePointer(QPoint global);

 private:
  QAction* Action(MenuItem item) { return actions_[static_cast<size_t>(item)]; }
  // The window a click of the events file goes to: the save/load screen while it is up, else the main
  // window.
  QWidget& FrontWindow();
  // A press and release of `button` at frame point p of `window`, as from the real mouse.
  void SendClick(QWidget& window, QSize frame, Point p, Qt::MouseButton button);
  void SendKey(Key key, bool down);
  void ShowFullScreen();
  AutomatedDialog* FrontDialog() { return dialogs_.empty() ? nullptr : dialogs_.back(); }
  // Shows a modal view at `centre` (global coordinates) and puts it in front; CloseModal hides and
  // destroys it.
  template <typename View>
  void OpenModal(std::unique_ptr<View>& slot, std::unique_ptr<View> view, QPoint centre);
  template <typename View>
  void CloseModal(std::unique_ptr<View>& slot);

  QApplication app_;
  WindowHost* host_ = nullptr;
  std::unique_ptr<MainWindow> main_;
  std::unique_ptr<X11AreaPainter> areaPainter_;
  std::unique_ptr<FloatWindow> float_;
  std::unique_ptr<QueryDialog> query_;
  std::unique_ptr<SaveLoadView> saveLoad_;
  std::unique_ptr<CommentDialog> comment_;
  std::unique_ptr<NameDialog> name_;
  std::unique_ptr<ConfigDialog> config_;
  std::unique_ptr<DebugWindow> debug_;
  std::unique_ptr<Gamepad> gamepad_;
  std::unique_ptr<QSocketNotifier> raiseRequests_;
  bool fullScreen_ = false;
  int windowScale_ = 1;
  QSize windowSize_;  // the window's size outside full screen, kept while full screen lasts
  // The remembered place: the game it is kept for, its file, the place read at start, and the window's
  // last place outside full screen, maximised or minimised.
  std::filesystem::path placeGame_;
  std::filesystem::path placeFile_;
  std::optional<WindowPlace> remembered_;
  QRect normalPlace_;
  std::unique_ptr<QMenu> menu_;
  QFont menuFont_;  // the menu's font at the picture's own scale
  std::array<QAction*, static_cast<size_t>(MenuItem::Count)> actions_{};
  KeyLatch keys_;
  // The check marks as the engine's handlers set them. A checkable QAction toggles itself before its
  // handler runs; the action is put back to this state first, so the handler alone decides.
  std::array<bool, static_cast<size_t>(MenuItem::Count)> checked_{};
  // The modal views open now, the front one last.
  std::vector<AutomatedDialog*> dialogs_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::unique_ptr<PointerTracker> pointer_;
  // Ends the rest at the end of a pass.
  QTimer rest_;
  bool restDue_ = false;
};

// A remembered window place (its frame's top left, its inside's size) made to fit `room`, a screen's
// available area: a size the room cannot hold becomes the largest whole factor of the frame that fits,
// and the place is moved the least that puts it inside the room.
QRect FitPlace(const QRect& place, const QRect& room);

// Maps a Qt key to the engine's keys; false for keys the engine does not sample.
bool EngineKey(int qtKey, Key& key);
// The keys that move between a screen's items (the arrows, Tab, Backtab), whose repeats count as presses.
bool MovesFocus(Key key);

}  // namespace mokuren
