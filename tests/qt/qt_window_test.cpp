// The window as a player on a big screen or with a gamepad meets it: resized, the frame is scaled and the
// pointer maps back to the frame exactly; the floating window takes the same scale; a gamepad's A button
// is a click.
#include <gtest/gtest.h>

#include <SDL.h>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include "platform/window_memory.h"
#include "qt/qt_fixture.h"
#include "support/engine_fixture.h"
#include "text/TMsgForm.h"

namespace mokuren::testing {
namespace {

class QtWindow : public QtFixture {};

TEST_F(QtWindow, ResizedWindowMapsAClickOnAChoiceBandAndTheFloatingWindowFollows) {
  Start("choice \"一,二,三\"\nmsg \"おわり\"\n");
  QWidget& main = qt_->Main();
  // 1.25 times, drawn smoothly, with 75 black rows above and below.
  main.resize(1000, 900);
  QApplication::processEvents();
  ASSERT_TRUE(RunUntil([&] { return Task() == task::SelectWait; }));
  // The middle of the second of three bands (rows 280-319 of the frame).
  const QPointF at(400 * 1.25, 75 + 300 * 1.25);
  QCursor::setPos(main.mapToGlobal(at).toPoint());
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent e(type, at, main.mapToGlobal(at), Qt::LeftButton,
                  type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&main, &e);
  }
  ASSERT_TRUE(RunUntil([&] { return Task() != task::SelectWait; }));
  EXPECT_EQ(Var('W', 1), 2);

  // The floating window covers the message area as the window shows it, and stays on it at a new size.
  qt_->SetFloatVisible(true);
  QWidget* floating = &qt_->FloatView();
  EXPECT_EQ(floating->geometry(), QRect(main.mapToGlobal(QPoint(0, 75 + 416 * 1.25)), QSize(1000, 230)));
  main.resize(1600, 1200);
  QApplication::processEvents();
  EXPECT_EQ(floating->geometry(), QRect(main.mapToGlobal(QPoint(0, 416 * 2)), QSize(1600, 368)));
}

// With no window manager to move it, the floating window follows a drag on its band itself; dragged past
// the screen's edge, its band stays on the screen.
TEST_F(QtWindow, FloatWindowIsDraggedByItsBandAndKeepsItOnTheScreen) {
  Start("msg \"一つ目\"\n");
  qt_->SetFloatVisible(true);
  QWidget* floating = &qt_->FloatView();
  const auto drag = [&](QPoint by) {
    const QPointF at(400, 10), to = floating->mapToGlobal(at) + QPointF(by);
    QMouseEvent press(QEvent::MouseButtonPress, at, floating->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(floating, &press);
    QMouseEvent move(QEvent::MouseMove, floating->mapFromGlobal(to), to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(floating, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, floating->mapFromGlobal(to), to, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(floating, &release);
  };
  const QPoint shown = floating->pos();
  drag({120, -100});
  EXPECT_EQ(floating->pos(), shown + QPoint(120, -100));
  drag({5000, 5000});
  const QRect screen = floating->screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(QRect(floating->pos(), QSize(floating->width(), TMsgForm::DragBand + 1))))
      << floating->pos().x() << "," << floating->pos().y();
}

// The window comes back at the size and place the player left it, per game; a place off every screen
// is not used, its scale is. Dialogs grow with the picture.
TEST_F(QtWindow, TheWindowStartsWhereThePlayerLeftItAndDialogsGrowWithThePicture) {
  const TempDir config;
  setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  rememberWindow_ = true;
  const auto restart = [&] {
    Stop();
    Launch();
  };
  Start("msg \"一つ目\"\n");
  qt_->Main().resize(1600, 1200);
  qt_->Main().move(150, 0);
  QApplication::processEvents();
  restart();
  EXPECT_EQ(qt_->Main().pos(), QPoint(150, 0));
  EXPECT_EQ(qt_->Main().size(), QSize(1600, 1200));
  qt_->OpenForm(FormId::TQueryForm);
  QWidget* query = qt_->FrontView();
  ASSERT_NE(query, nullptr);
  EXPECT_EQ(query->size(), QSize(257 * 2, 79 * 2));
  qt_->CloseForm(FormId::TQueryForm);

  qt_->Main().move(5000, 5000);
  QApplication::processEvents();
  restart();
  EXPECT_EQ(qt_->Main().size(), QSize(1600, 1200));
  EXPECT_TRUE(qt_->Main().screen()->availableGeometry().contains(qt_->Main().pos()));
  unsetenv("XDG_CONFIG_HOME");
}

// Kept at twice the size on a large screen, the window comes back on a 1280x1024 screen at the largest
// whole size that fits, wholly on the screen.
TEST_F(QtWindow, ARememberedWindowLargerThanTheScreenComesBackAtTheLargestWholeSizeThatFits) {
  const TempDir config;
  setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  WriteMinimalGame(dir());
  ASSERT_TRUE(WriteWindowPlace(WindowPlaceFile(dir()), dir(), {200, 100, 1600, 1200, 2}));
  const std::string desktop = getenv("QT_QPA_PLATFORM");
  std::ofstream(config.path() / "screen.json")
      << R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 1280, "height": 1024,)"
         R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
  setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + (config.path() / "screen.json").string()).c_str(), 1);
  rememberWindow_ = true;
  Launch();
  const QSize size = qt_->Main().size();
  const QRect frame = qt_->Main().frameGeometry();
  Stop();
  setenv("QT_QPA_PLATFORM", desktop.c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(size, QSize(800, 600));
  EXPECT_TRUE(QRect(0, 0, 1280, 1024).contains(frame)) << frame.x() << "," << frame.y();
}

// The floating window is a tool window of the game's, named after it; a right press or Escape there
// opens the popup menu, as on the main window.
TEST_F(QtWindow, TheFloatingWindowOpensThePopupMenuByRightPressOrEscape) {
  Start("sysmenu 1\nmsg \"一つ目\"\n");
  ASSERT_TRUE(RunUntil([&] { return Task() == task::MessageWait; }));
  qt_->SetFloatVisible(true);
  QWidget& floating = qt_->FloatView();
  EXPECT_EQ(floating.windowType(), Qt::Tool);
  EXPECT_EQ(floating.windowTitle(), qt_->Main().windowTitle());
  const QPointF at(300, 100);
  QMouseEvent press(QEvent::MouseButtonPress, at, floating.mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&floating, &press);
  EXPECT_TRUE(qt_->Menu().isVisible());
  qt_->Menu().hide();
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&floating, &escape);
  EXPECT_TRUE(qt_->Menu().isVisible());
  qt_->Menu().hide();
}

// At twice the size, a right click opens the popup menu where the pointer is, not at the frame's point,
// and the menu is twice as large as the dialogs are.
TEST_F(QtWindow, PopupMenuOpensAtThePointerInAScaledWindow) {
  Start("sysmenu 1\nmsg \"一つ目\"\n");
  QWidget& main = qt_->Main();
  main.resize(1600, 1200);
  QApplication::processEvents();
  ASSERT_TRUE(RunUntil([&] { return Task() == task::MessageWait; }));
  const QPointF at(240, 180);
  QCursor::setPos(main.mapToGlobal(at).toPoint());
  QMouseEvent press(QEvent::MouseButtonPress, at, main.mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&main, &press);
  ASSERT_TRUE(qt_->Menu().isVisible());
  // Within the frame pixel the click fell on (two window pixels at this scale).
  EXPECT_LE((qt_->Menu().pos() - main.mapToGlobal(at).toPoint()).manhattanLength(), 2);
  const QFont plain = QApplication::font(&qt_->Menu());
  if (plain.pixelSize() > 0)
    EXPECT_EQ(qt_->Menu().font().pixelSize(), 2 * plain.pixelSize());
  else
    EXPECT_EQ(qt_->Menu().font().pointSizeF(), 2 * plain.pointSizeF());
  qt_->Menu().hide();
}

// Enter pressed and let go between two passes still passes the message, once.
TEST_F(QtWindow, AKeyTapBetweenTwoPassesActsOnce) {
  Start("msg \"一つ目\"\nmsg \"二つ目\"\nmsg \"三つ目\"\n");
  ASSERT_TRUE(RunUntil([&] { return Task() == task::MessageWait; }));
  ASSERT_EQ(MessageShown(), u"一つ目");
  for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent e(type, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&qt_->Main(), &e);
  }
  ASSERT_TRUE(RunUntil([&] { return MessageShown() != u"一つ目" && Task() == task::MessageWait; }));
  Passes(50);
  EXPECT_EQ(MessageShown(), u"二つ目");
}

// Without a mouse: Escape opens the popup menu, the arrows move between a choice's lines and Enter chooses.
TEST_F(QtWindow, EscapeOpensTheMenuAndTheArrowsAndEnterChoose) {
  Start("sysmenu 1\nchoice \"一,二,三\"\nmsg \"おわり\"\n");
  ASSERT_TRUE(RunUntil([&] { return Task() == task::SelectWait; }));
  Passes(1);
  const auto press = [&](Qt::Key key) {
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QKeyEvent e(type, key, Qt::NoModifier);
      QApplication::sendEvent(&qt_->Main(), &e);
    }
    Passes(1);
  };
  press(Qt::Key_Escape);
  EXPECT_TRUE(qt_->Menu().isVisible());
  qt_->Menu().hide();
  for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Return}) press(key);
  ASSERT_TRUE(RunUntil([&] { return Task() != task::SelectWait; }));
  EXPECT_EQ(Var('W', 1), 2);
}

TEST_F(QtWindow, GamepadAButtonAdvancesAMessage) {
  Start("msg \"一つ目\"\nmsg \"二つ目\"\n");
  ASSERT_TRUE(RunUntil([&] { return Task() == task::MessageWait; }));
  ASSERT_EQ(MessageShown(), u"一つ目");
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  ASSERT_GE(index, 0) << SDL_GetError();
  SDL_Joystick* pad = SDL_JoystickOpen(index);
  ASSERT_NE(pad, nullptr) << SDL_GetError();
  qt_->InjectCursor(WindowId::Main, {400, 300});
  Passes(3);  // the pad is plugged in
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
  Passes(1);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 0);
  EXPECT_TRUE(RunUntil([&] { return MessageShown() == u"二つ目"; }));
  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(index);
}

}  // namespace
}  // namespace mokuren::testing
