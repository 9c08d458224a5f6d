#include "backends/qt/qt_platform.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <thread>

#include "backends/qt/comment_dialog.h"
#include "backends/qt/config_dialog.h"
#include "backends/qt/debug_window.h"
#include "backends/qt/dialog_style.h"
#include "backends/qt/gamepad.h"
#include "backends/qt/name_dialog.h"
#include "backends/qt/pointer_tracker.h"
#include "backends/qt/qt_windows.h"
#include "backends/qt/save_load_view.h"
#include "backends/qt/spoken_controls.h"
#include "backends/qt/x11_area_painter.h"
#include "base/text_codec.h"
#include "dialogs/TQueryForm.h"
#include "platform/event.h"
#include "platform/instance_guard.h"
#include "platform/quit_signals.h"
#include "platform/window_host.h"

namespace mokuren {

namespace {

// How long after start-up the window icon is looked up: well after the title's first frame.
constexpr int kIconAfterMs = 500;

struct MenuEntry {
  MenuItem item;
  const char16_t* caption;
  bool separatorBefore;
};

// The popup menu, in order, with its separators.
constexpr MenuEntry kMenu[] = {
    {MenuItem::menuKSkip, u"既読スキップ", false},
    {MenuItem::menuSSkip, u"シーンスキップ", false},
    {MenuItem::menuAuto, u"自動進行", false},
    {MenuItem::menuWindow, u"ウィンドウ消去", true},
    {MenuItem::menuFloat, u"ウィンドウフロート化", false},
    {MenuItem::menuSave, u"セーブ", true},
    {MenuItem::menuLoad, u"ロード", false},
    {MenuItem::menuConfig, u"環境設定", true},
    {MenuItem::menuTitle, u"タイトルに戻る", true},
    {MenuItem::menuQuit, u"ゲーム終了", false},
};

// Beside the main window where its screen has room for the whole window: to the right, below, to the
// left or above; where none has room, at the screen's bottom left, away from the main window's title bar.
void PlaceBeside(QWidget& w, const QWidget& main) {
  const QRect m = main.frameGeometry();
  const QSize size = w.frameGeometry().size();
  const QRect room = main.screen() ? main.screen()->availableGeometry() : QRect(m.bottomLeft(), size);
  for (const QPoint at : {QPoint(m.right() + 1, m.top()), QPoint(m.left(), m.bottom() + 1),
                          QPoint(m.left() - size.width(), m.top()), QPoint(m.left(), m.top() - size.height())}) {
    if (room.contains(QRect(at, size))) {
      w.move(at);
      return;
    }
  }
  w.move(room.left(), room.bottom() + 1 - size.height());
}

}  // namespace

bool EngineKey(int qtKey, Key& key) {
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: key = Key::Enter; return true;
    case Qt::Key_Space: key = Key::Space; return true;
    case Qt::Key_PageUp: key = Key::PageUp; return true;
    case Qt::Key_PageDown: key = Key::PageDown; return true;
    case Qt::Key_F1: key = Key::F1; return true;
    case Qt::Key_F2: key = Key::F2; return true;
    case Qt::Key_Control: key = Key::Ctrl; return true;
    case Qt::Key_Escape: key = Key::Escape; return true;
    case Qt::Key_Up: key = Key::Up; return true;
    case Qt::Key_Down: key = Key::Down; return true;
    case Qt::Key_Left: key = Key::Left; return true;
    case Qt::Key_Right: key = Key::Right; return true;
    case Qt::Key_Tab: key = Key::Tab; return true;
    case Qt::Key_Backtab: key = Key::Backtab; return true;
    default: return false;
  }
}

bool MovesFocus(Key key) {
  switch (key) {
    case Key::Up:
    case Key::Down:
    case Key::Left:
    case Key::Right:
    case Key::Tab:
    case Key::Backtab: return true;
    default: return false;
  }
}

QtPlatform::QtPlatform(int& argc, char** argv) : app_(argc, argv) {
  QApplication::setApplicationName("Mokuren");
  // The installed desktop entry and icon name the program's windows in the task bar.
  QGuiApplication::setDesktopFileName("mokuren");
  // Looking the icon up in the icon themes takes milliseconds the first frame need not wait for: it is set
  // once the game is up (a window shown before takes it then).
  QTimer::singleShot(kIconAfterMs, &app_, [] { QApplication::setWindowIcon(QIcon::fromTheme("mokuren")); });
  QApplication::setQuitOnLastWindowClosed(false);
  rest_.setSingleShot(true);
  rest_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&rest_, &QTimer::timeout, [this] { restDue_ = true; });
}

QtPlatform::~QtPlatform() {
  // The place at the end: a window never moved after it was shown has had no event that kept it.
  MainPlaced();
  if (!placeFile_.empty() && normalPlace_.isValid()) {
    const int scale = std::max(1, std::min(normalPlace_.width() / kFrameWidth, normalPlace_.height() / kFrameHeight));
    WriteWindowPlace(placeFile_, placeGame_,
                     {normalPlace_.x(), normalPlace_.y(), normalPlace_.width(), normalPlace_.height(), scale});
  }
  // Window-system events still queued (a pointer put somewhere by the events file or the gamepad) are
  // delivered while the application and its pointing device exist; left queued, the next application in
  // the same process would take them up with a device that no longer exists.
  dialogs_.clear();
  debug_.reset();
  saveLoad_.reset();
  query_.reset();
  comment_.reset();
  name_.reset();
  config_.reset();
  menu_.reset();
  float_.reset();
  main_.reset();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtPlatform::Attach(WindowHost& host) {
  host_ = &host;
  pointer_ = std::make_unique<PointerTracker>();
  main_ = std::make_unique<MainWindow>(*this);
  float_ = std::make_unique<FloatWindow>(*this, *main_);
  // Moves of the pointer over the game's windows come as events, so the tracker always knows where it is.
  main_->setMouseTracking(true);
  float_->setMouseTracking(true);
  menu_ = std::make_unique<QMenu>(main_.get());
  menuFont_ = menu_->font();
  for (const MenuEntry& e : kMenu) {
    if (e.separatorBefore) menu_->addSeparator();
    QAction* a = menu_->addAction(Q(e.caption));
    actions_[static_cast<size_t>(e.item)] = a;
    MenuItem item = e.item;
    QObject::connect(a, &QAction::triggered, [this, a, item] {
      a->setChecked(checked_[static_cast<size_t>(item)]);
      host_->MenuClick(item);
    });
  }
  Action(MenuItem::menuFloat)->setCheckable(true);
  gamepad_ = std::make_unique<Gamepad>(*this);
  QObject::connect(menu_.get(), &QMenu::aboutToShow, [this] { host_->PopupMenu1Popup(); });
  // Read aloud as the player moves through the menu and a dialog's controls.
  QObject::connect(menu_.get(), &QMenu::hovered, [this](QAction* action) {
    if (action && !action->isSeparator()) host_->SpeakShown(SpokenText(*action).toStdU16String());
  });
  QObject::connect(&app_, &QApplication::focusChanged, [this](QWidget*, QWidget* now) {
    if (now && FrontView() && FrontView()->isAncestorOf(now)) host_->SpeakShown(SpokenText(*now).toStdU16String());
  });
}

QWidget& QtPlatform::Main() { return *main_; }
QWidget& QtPlatform::FloatView() { return *float_; }

void QtPlatform::WatchRaiseRequests(InstanceGuard& guard) {
  if (guard.RaiseRequestSocket() < 0) return;
  raiseRequests_ = std::make_unique<QSocketNotifier>(guard.RaiseRequestSocket(), QSocketNotifier::Read);
  QObject::connect(raiseRequests_.get(), &QSocketNotifier::activated, [this, &guard] {
    if (guard.TakeRaiseRequest()) RaiseMainWindow();
  });
}

void QtPlatform::RaiseMainWindow() {
  main_->setWindowState(main_->windowState() & ~Qt::WindowMinimized);
  main_->raise();
  main_->activateWindow();
  if (QWidget* front = FrontView()) {
    front->raise();
    front->activateWindow();
  }
}

void QtPlatform::RememberWindowIn(const std::filesystem::path& gameDir, bool restore) {
  placeGame_ = gameDir;
  placeFile_ = WindowPlaceFile(gameDir);
  remembered_ = restore ? ReadWindowPlace(placeFile_) : std::nullopt;
}

namespace {

// The room of the screen a window at `place` belongs on: the one that shows most of it, else the one
// nearest to it (a place left on a screen no longer there).
QRect RoomFor(const QRect& place) {
  QScreen* best = nullptr;
  int64_t bestShown = -1, bestDistance = 0;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect room = screen->availableGeometry();
    const QRect shown = room & place;
    const int64_t area = shown.isEmpty() ? 0 : int64_t{shown.width()} * shown.height();
    const int64_t distance = (room.center() - place.center()).manhattanLength();
    if (area > bestShown || (area == bestShown && distance < bestDistance)) {
      best = screen;
      bestShown = area;
      bestDistance = distance;
    }
  }
  return best ? best->availableGeometry() : place;
}

}  // namespace

QRect FitPlace(const QRect& place, const QRect& room) {
  QSize size = place.size();
  // Larger than the screen: the largest whole times the frame that fits (once at least), so the picture
  // stays sharp and the message window and the buttons stay on the screen.
  if (size.width() > room.width() || size.height() > room.height()) {
    const int factor = std::max(1, std::min(room.width() / kFrameWidth, room.height() / kFrameHeight));
    size = factor * kFrameSize;
  }
  // Then moved the least that puts it on the screen.
  const int x = std::clamp(place.x(), room.left(), std::max(room.left(), room.right() + 1 - size.width()));
  const int y = std::clamp(place.y(), room.top(), std::max(room.top(), room.bottom() + 1 - size.height()));
  return {QPoint(x, y), size};
}

void QtPlatform::ShowMainWindow() {
  if (remembered_) windowScale_ = remembered_->scale;
  // A scale the screen cannot hold comes down to the largest that it can.
  int scale = windowScale_;
  if (QScreen* screen = main_->screen()) {
    const QSize room = screen->availableGeometry().size();
    while (scale > 1 && (scale * kFrameSize.width() > room.width() || scale * kFrameSize.height() > room.height()))
      --scale;
  }
  windowSize_ = scale * kFrameSize;
  // Where the player left it, on the screen it is on now.
  const QRect remembered =
      remembered_ ? QRect(remembered_->x, remembered_->y, remembered_->width, remembered_->height) : QRect();
  const QRect room = remembered.isValid() ? RoomFor(remembered) : QRect();
  const QRect place = remembered.isValid() ? FitPlace(remembered, room) : QRect();
  if (place.isValid()) windowSize_ = place.size();
  main_->resize(windowSize_);
  // Full screen may have been chosen at start-up, before the window was first shown.
  if (fullScreen_) {
    ShowFullScreen();
  } else {
    if (place.isValid()) {
      // The window's frame is counted once it is shown.
      main_->move(place.topLeft());
      main_->show();
      const QRect framed = main_->frameGeometry();
      if (!room.contains(framed) && framed.width() <= room.width() && framed.height() <= room.height())
        main_->move(FitPlace(framed, room).topLeft());
    } else {
      main_->show();
      if (QScreen* screen = main_->screen()) CentreAt(*main_, screen->availableGeometry().center());
    }
  }
  // The debug window, shown before the main window had its place, goes beside it.
  if (debug_ && debug_->isVisible()) PlaceBeside(*debug_, *main_);
  main_->activateWindow();
}

uint32_t QtPlatform::TickCount() {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
  return static_cast<uint32_t>(ms);
}

void QtPlatform::Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void QtPlatform::ProcessMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  if (gamepad_) gamepad_->Poll();
}

QWidget* QtPlatform::FrontView() { return dialogs_.empty() ? nullptr : &dialogs_.back()->Widget(); }

uint32_t QtPlatform::Rest(uint32_t ms, std::optional<uint32_t> quietUntil) {
  const uint32_t start = TickCount();
  // A game that only waits for the player rests until its next frame; any event after the pass's own
  // 10 ms ends that rest at once.
  uint32_t length = ms;
  if (quietUntil) length = std::max(length, static_cast<uint32_t>(std::max<int32_t>(0, *quietUntil - start)));
  // In the event loop rather than asleep, so that input is taken as it comes.
  rest_.start(static_cast<int>(length));
  restDue_ = false;
  do {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  } while (!restDue_ && TickCount() - start < ms);
  rest_.stop();
  if (gamepad_) gamepad_->Poll();
  return TickCount() - start;
}

WindowId QtPlatform::Foreground() {
  QWidget* w = QApplication::activeWindow();
  // The save/load screen lies inside the main window.
  if (w == main_.get()) return saveLoad_ ? WindowId::SaveLoad : WindowId::Main;
  if (w == float_.get()) return WindowId::Float;
  return WindowId::Other;
}

Point QtPlatform::CursorPos(WindowId client) {
  // The frames may be shown scaled; the pointer is reported in frame coordinates.
  const QPointF global(pointer_->Global());
  if (client == WindowId::Float) return WidgetToFrame(*float_, kFloatSize, float_->mapFromGlobal(global));
  return WidgetToFrame(*main_, kFrameSize, main_->mapFromGlobal(global));
}

QPoint QtPlatform::PointerGlobal() const { return pointer_->Global(); }

void QtPlatform::MovePointer(QPoint global) {
  QCursor::setPos(global);
  pointer_->MovedTo(global);
}

void QtPlatform::InjectCursor(WindowId window, Point p) {
  QWidget& w = window == WindowId::Float ? static_cast<QWidget&>(*float_) : *main_;
  MovePointer(w.mapToGlobal(FrameToWidget(w, window == WindowId::Float ? kFloatSize : kFrameSize, p)).toPoint());
}

QWidget& QtPlatform::FrontWindow() {
  if (saveLoad_) return *saveLoad_;
  return *main_;
}

void QtPlatform::SendClick(QWidget& window, QSize frame, Point p, Qt::MouseButton button) {
  const QPointF local = FrameToWidget(window, frame, p);
  const QPointF global = window.mapToGlobal(local);
  MovePointer(global.toPoint());
  QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, Qt::NoModifier);
  QApplication::sendEvent(&window, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &release);
}

void QtPlatform::SendKey(Key key, bool down) {
  static constexpr Qt::Key kQtKeys[] = {Qt::Key_Return, Qt::Key_Space,   Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_F1,
                                        Qt::Key_F2,     Qt::Key_Control, Qt::Key_Escape, Qt::Key_Up,       Qt::Key_Down,
                                        Qt::Key_Left,   Qt::Key_Right,   Qt::Key_Tab,    Qt::Key_Backtab};
  static_assert(std::size(kQtKeys) == static_cast<size_t>(Key::Count));
  const Qt::Key qtKey = kQtKeys[static_cast<size_t>(key)];
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
  if (qtKey == Qt::Key_Control && down) modifiers = Qt::ControlModifier;
  if (qtKey == Qt::Key_Backtab) modifiers = Qt::ShiftModifier;
  QKeyEvent e(down ? QEvent::KeyPress : QEvent::KeyRelease, qtKey, modifiers);
  // The popup menu while it is open, then the dialog or screen in front, then the game's window.
  QWidget* target = QApplication::activePopupWidget();
  if (!target) target = FrontView();
  if (!target)
    target = float_->isActiveWindow() ? static_cast<QWidget*>(float_.get()) : static_cast<QWidget*>(main_.get());
  QApplication::sendEvent(target, &e);
}

void QtPlatform::NavigationKey(int qtKey, WindowId window) {
  // A key a dialog in front left unused (Escape in the name dialog) does nothing behind it.
  if (FrontView() || qtKey != Qt::Key_Escape) return;
  // The popup menu, as the right button opens it: at the pointer when it is on the picture, else at the
  // picture's middle.
  QWidget& w = window == WindowId::Float ? static_cast<QWidget&>(*float_) : *main_;
  const QSize frame = window == WindowId::Float ? kFloatSize : kFrameSize;
  Point at = CursorPos(window);
  if (at.x < 0 || at.y < 0 || at.x >= frame.width() || at.y >= frame.height())
    at = {frame.width() / 2, frame.height() / 2};
  const QPointF local = FrameToWidget(w, frame, at);
  QMouseEvent press(QEvent::MouseButtonPress, local, w.mapToGlobal(local), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&w, &press);
}

bool QtPlatform::DeliverEvent(const Event& e) {
  switch (e.verb) {
    case Verb::Click:
    case Verb::RClick:
      SendClick(FrontWindow(), kFrameSize, e.point, e.verb == Verb::Click ? Qt::LeftButton : Qt::RightButton);
      return true;
    case Verb::FloatClick: SendClick(*float_, kFloatSize, e.point, Qt::LeftButton); return true;
    case Verb::Move: {
      QWidget& w = FrontWindow();
      const QPointF local = FrameToWidget(w, kFrameSize, e.point);
      const QPointF global = w.mapToGlobal(local);
      MovePointer(global.toPoint());
      QMouseEvent move(QEvent::MouseMove, local, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(&w, &move);
      return true;
    }
    case Verb::Wheel: {
      QWidget& w = FrontWindow();
      const QPointF global(pointer_->Global());
      const QPointF local = w.mapFromGlobal(global);
      QWheelEvent wheel(local, global, QPoint(), QPoint(0, e.yes ? 120 : -120), Qt::NoButton, Qt::NoModifier,
                        Qt::NoScrollPhase, false);
      QApplication::sendEvent(&w, &wheel);
      return true;
    }
    case Verb::KeyDown:
    case Verb::KeyUp: SendKey(e.key, e.verb == Verb::KeyDown); return true;
    case Verb::Menu: {
      // As a player does: the menu opens (its items are brought up to date), then the item is chosen.
      QAction* action = actions_[static_cast<size_t>(e.item)];
      emit menu_->aboutToShow();
      if (action->isEnabled()) action->trigger();
      return true;
    }
    case Verb::Quit: main_->close(); return true;
    case Verb::Dialog:
      if (AutomatedDialog* d = FrontDialog()) d->Press(e.yes);
      return true;
    case Verb::Name:
    case Verb::Comment:
    case Verb::Config: {
      AutomatedDialog* d = FrontDialog();
      return d && d->Fill(e);
    }
    default: return false;
  }
}

bool QtPlatform::FrontDialogTexts(std::u16string& texts) {
  AutomatedDialog* d = FrontDialog();
  if (!d) return false;
  texts.clear();
  for (const QString& line : d->Texts()) texts += line.toStdU16String() + u"\n";
  return true;
}

void QtPlatform::PaintMain(const TABitmap& frame) {
  main_->SetFrame(&frame);
  if (areaPainter_) areaPainter_->PaintedByQt(main_->rect());
  main_->update();
}

void QtPlatform::PaintFloat(const TABitmap&) {
  if (float_->isVisible()) float_->update();
}

// A frame's changed area is painted at once rather than posted for the event loop: a resting game then
// wakes once for each frame it shows, not once for the frame and again for its paint.
void QtPlatform::PaintMainArea(const TABitmap& frame, const Rect& changed) {
  main_->SetFrame(&frame);
  // A small area of a frame shown one to one goes straight to the X server (X11AreaPainter).
  if (main_->isVisible() && main_->windowHandle() && main_->windowHandle()->isExposed() &&
      main_->devicePixelRatioF() == 1 && FrameScale(*main_) == 1) {
    const QPointF origin = FrameToWidget(*main_, kFrameSize, Point{0, 0});
    if (!areaPainter_) areaPainter_ = std::make_unique<X11AreaPainter>(*main_);
    if (areaPainter_->Put(frame, changed, static_cast<int32_t>(origin.x()), static_cast<int32_t>(origin.y()))) return;
  }
  const QRect area = FrameAreaToWidget(*main_, kFrameSize, changed);
  if (areaPainter_) areaPainter_->PaintedByQt(area);
  main_->repaint(area);
}

void QtPlatform::PaintFloatArea(const TABitmap&, const Rect& changed) {
  if (float_->isVisible()) float_->repaint(FrameAreaToWidget(*float_, kFloatSize, changed));
}

void QtPlatform::SetCursorShown(bool shown) { main_->setCursor(shown ? Qt::ArrowCursor : Qt::BlankCursor); }

void QtPlatform::MainPlaced() {
  if (main_ && main_->isVisible() && !fullScreen_ &&
      !(main_->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
    normalPlace_ = QRect(main_->pos(), main_->size());
  if (float_) float_->FollowMain();
}

void QtPlatform::ShowFullScreen() {
  // The screen's whole area first: without a window manager that knows full screen, the window still
  // covers the screen.
  if (QScreen* screen = main_->screen()) main_->setGeometry(screen->geometry());
  main_->showFullScreen();
}

// Full screen is a borderless window over the whole of the window's screen, showing the frame scaled
// (PaintSurface); the display mode is never changed, so no other window moves.
void QtPlatform::SetFullScreen(bool full) {
  const bool shown = main_->isVisible();
  if (full) {
    // The window's own size comes back when full screen ends.
    if (shown && !fullScreen_) windowSize_ = main_->size();
    fullScreen_ = true;
    if (shown) ShowFullScreen();
  } else {
    fullScreen_ = false;
    if (shown) main_->showNormal();
    if (windowSize_.isValid()) main_->resize(windowSize_);
    if (QScreen* screen = main_->screen(); shown && screen) CentreAt(*main_, screen->availableGeometry().center());
  }
}

void QtPlatform::SetFloatVisible(bool visible) { float_->setVisible(visible); }
bool QtPlatform::FloatVisible() { return float_->isVisible(); }

void QtPlatform::SetMenuEnabled(MenuItem item, bool enabled) {
  if (item != MenuItem::Count && Action(item)->isEnabled() != enabled) Action(item)->setEnabled(enabled);
}
bool QtPlatform::MenuEnabled(MenuItem item) { return item != MenuItem::Count && Action(item)->isEnabled(); }
void QtPlatform::SetMenuCaption(MenuItem item, const std::u16string& caption) { Action(item)->setText(Q(caption)); }
void QtPlatform::SetMenuChecked(MenuItem item, bool checked) {
  checked_[static_cast<size_t>(item)] = checked;
  Action(item)->setChecked(checked);
}
bool QtPlatform::MenuChecked(MenuItem item) { return checked_[static_cast<size_t>(item)]; }

// The engine names a point of its frame; the window may show the frame scaled and bordered.
void QtPlatform::PopupMenu(Point client, WindowId window) {
  // Grown by the picture's whole scale, as the dialogs are.
  const int factor = std::max(1, static_cast<int>(std::floor(FrameScale(*main_) + 1e-9)));
  QFont font = menuFont_;
  if (font.pixelSize() > 0)
    font.setPixelSize(font.pixelSize() * factor);
  else
    font.setPointSizeF(font.pointSizeF() * factor);
  menu_->setFont(font);
  if (window == WindowId::Float) {
    menu_->popup(float_->mapToGlobal(FrameToWidget(*float_, kFloatSize, client)).toPoint());
    return;
  }
  menu_->popup(main_->mapToGlobal(FrameToWidget(*main_, kFrameSize, client)).toPoint());
}

template <typename View>
void QtPlatform::OpenModal(std::unique_ptr<View>& slot, std::unique_ptr<View> view, QPoint centre) {
  slot = std::move(view);
  dialogs_.push_back(slot.get());
  // A picture shown twice the frame or more gets dialogs grown by the same whole factor.
  GrowDialog(*slot, std::max(1, static_cast<int>(std::floor(FrameScale(*main_) + 1e-9))));
  CentreAt(*slot, centre);
  slot->open();
}

template <typename View>
void QtPlatform::CloseModal(std::unique_ptr<View>& slot) {
  if (!slot) return;
  std::erase(dialogs_, static_cast<AutomatedDialog*>(slot.get()));
  slot->hide();
  slot.reset();
  // Input goes back to the game: without a window manager to do it, the main window would stay inactive
  // and the game would take no click or key.
  if (dialogs_.empty() && main_->isVisible()) main_->activateWindow();
}

void QtPlatform::OpenForm(FormId form) {
  // The name dialog is centred on the screen, the others on the main window's frame.
  const QPoint onFrame = FrameCentre(*main_);
  switch (form) {
    case FormId::TQueryForm:
      OpenModal(query_, std::make_unique<QueryDialog>(main_.get(), host_->GetQueryForm()), onFrame);
      break;
    case FormId::TNameForm:
      OpenModal(name_, std::make_unique<NameDialog>(main_.get(), host_->GetNameForm()),
                main_->screen() ? main_->screen()->availableGeometry().center() : onFrame);
      break;
    case FormId::TConfigForm:
      OpenModal(config_, std::make_unique<ConfigDialog>(main_.get(), host_->GetConfigForm(), *host_), onFrame);
      break;
    case FormId::TCommentForm:
      OpenModal(comment_, std::make_unique<CommentDialog>(*main_, host_->GetCommentForm()), onFrame);
      break;
    case FormId::TForm7:
      // Not a dialog: a screen of the game's own laid over the main window.
      saveLoad_ = std::make_unique<SaveLoadView>(*main_, *host_);
      saveLoad_->setMouseTracking(true);
      dialogs_.push_back(saveLoad_.get());
      saveLoad_->show();
      saveLoad_->raise();
      saveLoad_->setFocus();
      break;
    default: break;
  }
}

void QtPlatform::CloseForm(FormId form) {
  switch (form) {
    case FormId::TQueryForm: CloseModal(query_); break;
    case FormId::TNameForm: CloseModal(name_); break;
    case FormId::TConfigForm: CloseModal(config_); break;
    case FormId::TCommentForm: CloseModal(comment_); break;
    case FormId::TForm7:
      CloseModal(saveLoad_);
      main_->setFocus();
      break;
    default: break;
  }
}

void QtPlatform::SetFormVisible(FormId form, bool visible) {
  if (form == FormId::TMsgForm) SetFloatVisible(visible);
  if (form == FormId::TDebugForm) {
    if (visible && !debug_) debug_ = std::make_unique<DebugWindow>(host_->GetDebugForm());
    if (debug_ && visible && !debug_->isVisible() && main_->isVisible()) PlaceBeside(*debug_, *main_);
    if (debug_) debug_->setVisible(visible);
  }
}

void QtPlatform::FormChanged(FormId form) {
  if (form == FormId::TNameForm && name_) name_->Refresh();
  if (form == FormId::TDebugForm && debug_) debug_->Refresh();
  if (form == FormId::TForm7 && saveLoad_) saveLoad_->update();
}

void QtPlatform::FatalMessage(const std::string& utf8) {
  // Also for whoever started the program from a terminal or a script.
  PrintFatalMessage(utf8);
  QMessageBox::critical(nullptr, "Mokuren", QString::fromStdString(utf8));
}

void QtPlatform::WarningMessage(const std::string& utf8) {
  PrintFatalMessage(utf8);
  QMessageBox box(QMessageBox::Warning, main_ ? main_->windowTitle() : QString("Mokuren"), QString::fromStdString(utf8),
                  QMessageBox::Ok, main_.get());
  // No pass runs while the box is up, so it watches for the desktop's request to end the game itself;
  // the next pass then closes the game as it would have anyway.
  QTimer quitWatch;
  QObject::connect(&quitWatch, &QTimer::timeout, &box, [&box] {
    if (QuitSignal() != 0) box.reject();
  });
  quitWatch.start(50);
  box.exec();
}

void QtPlatform::UseLanguage(std::string_view language) { UseDialogLanguage(language); }

void QtPlatform::SetMainCaption(const std::u16string& caption) {
  if (main_) main_->setWindowTitle(Q(caption));
  if (float_) float_->setWindowTitle(Q(caption));
}

}  // namespace mokuren
