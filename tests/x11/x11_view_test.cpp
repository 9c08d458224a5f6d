// The game's window on a real X server (run under Xvfb): what the window shows is the engine's frame to
// the pixel while a message is typed and the waiting icon turns (small areas, put straight onto the
// window), and after another window covered it and went away.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "qt/qt_fixture.h"

namespace mokuren::testing {
namespace {

class X11View : public QtFixture {
 protected:
  // Lets the X server and Qt's event thread deliver what they have, a quarter of a second long.
  static void Settle() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 250) {
      QApplication::processEvents();
      QThread::msleep(5);
    }
  }
  // How many pixels of the window's frame area differ from the engine's frame, read back from the server.
  int DifferingPixels() {
    QApplication::processEvents();
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11->connection();
    const QWidget& main = qt_->Main();
    std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> image(
        xcb_get_image_reply(
            c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, static_cast<uint32_t>(main.winId()), 0, 0, 800, 600, ~0u),
            nullptr),
        &std::free);
    if (!image || xcb_get_image_data_length(image.get()) != 800 * 600 * 4) return -1;
    const uint8_t* shown = xcb_get_image_data(image.get());
    int differing = 0;
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 800; ++x)
        if (std::memcmp(shown + (y * 800 + x) * 4, Frame().ScanLine(y) + x * 4, 3) != 0) ++differing;
    return differing;
  }
};

TEST_F(X11View, TheWindowShowsTheFrameWhileAMessageIsTypedAfterItWasCoveredAndWhileTheIconTurns) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X server";
  Start("msg \"はじまりの朝、窓の外から鳥の声が聞こえる。\"\n");
  ASSERT_EQ(qt_->Main().size(), QSize(800, 600));
  // The message typed character by character, each step read back at once.
  ASSERT_TRUE(RunUntilTask(task::MessageTyping));
  for (int step = 0; step < 6 && Task() == task::MessageTyping; ++step) {
    QThread::msleep(30);
    Passes(1);
    EXPECT_EQ(DifferingPixels(), 0) << "typing step " << step;
  }
  // Another window over the message, and away again: what was typed so far is shown again.
  QWidget cover;
  cover.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
  cover.setGeometry(QRect(qt_->Main().mapToGlobal(QPoint(0, 400)), QSize(800, 200)));
  cover.show();
  Settle();
  cover.hide();
  Settle();
  EXPECT_EQ(DifferingPixels(), 0) << "after the cover";
  // Several turns of the waiting icon, each read back at once.
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  for (int turn = 0; turn < 4; ++turn) {
    QThread::msleep(60);
    Passes(2);
    EXPECT_EQ(DifferingPixels(), 0) << "turn " << turn;
  }
}

}  // namespace
}  // namespace mokuren::testing
