// The Qt views: the 800x600 main window, the floating message window and the confirmation dialog.
// They draw the engine's surfaces and forward input to the engine's handlers; they hold no game state.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "base/frame.h"
#include "platform/platform.h"

namespace mokuren {

class TABitmap;
class TQueryForm;
class TMsgForm;
class QtPlatform;
struct Event;

// The engine's frame: the main window's client area at its own size.
inline constexpr QSize kFrameSize{kFrameWidth, kFrameHeight};
// The floating message window's picture.
inline constexpr QSize kFloatSize{kFrameWidth, kMessageWindowHeight};

class MainWindow final : public QWidget {
  Q_OBJECT
 public:
  explicit MainWindow(QtPlatform& platform);
  void SetFrame(const TABitmap* frame) { frame_ = frame; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  bool focusNextPrevChild(bool next) override;
  void focusOutEvent(QFocusEvent*) override;
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent*) override;
  void moveEvent(QMoveEvent*) override;

 private:
  QtPlatform& platform_;
  const TABitmap* frame_ = nullptr;
};

// The view of TMsgForm: a frameless tool window that stays above the main window (its owner, so it has no
// task bar or window switcher entry of its own) and shows the form's picture. A right press or Escape
// opens the popup menu there, as on the main window.
class FloatWindow final : public QWidget {
  Q_OBJECT
 public:
  FloatWindow(QtPlatform& platform, QWidget& owner);
  // Showing puts the window over the main window's message area first.
  void setVisible(bool visible) override;
  // Takes the size of the message area as the main window shows the frame now, and keeps its place on
  // the picture.
  void FollowMain();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void moveEvent(QMoveEvent*) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  bool focusNextPrevChild(bool next) override;
  void focusOutEvent(QFocusEvent*) override;

 private:
  TMsgForm& form();
  // Moves the window the least that puts its whole drag band on a screen, so the player can always take
  // it back (and its buttons with it).
  void KeepBandOnScreen();
  QtPlatform& platform_;
  QWidget& owner_;
  // The main window's picture as last followed: its top left on the screen, and its scale.
  QPointF origin_;
  double scale_ = 0;
  // Where the band was taken, in the window, while the window moves itself with the pointer (no window
  // manager moves it).
  std::optional<QPointF> dragFrom_;
  // Moves by the window manager come one after another; the band is put back once they stop.
  QTimer settle_;
};

// A modal view that the events file operates the way a player does: its real buttons pressed, its text
// box filled, its texts read back.
class AutomatedDialog {
 public:
  virtual ~AutomatedDialog() = default;
  // "dialog ok" / "dialog cancel": clicks the button.
  virtual void Press(bool ok) = 0;
  // "name", "comment", "config": fills the controls (and presses what the verb presses); false when the
  // verb is not this dialog's.
  virtual bool Fill(const Event& event) { return false; }
  // Caption first, then every label and the text box, one a line.
  virtual QStringList Texts() const;
  virtual QWidget& Widget() = 0;
};

// The view of TQueryForm: the question, "ＯＫ" and "キャンセル".
class QueryDialog final : public QDialog, public AutomatedDialog {
  Q_OBJECT
 public:
  QueryDialog(QWidget* parent, TQueryForm& form);
  void Press(bool ok) override;
  QWidget& Widget() override { return *this; }

 protected:
  void reject() override;
  void keyPressEvent(QKeyEvent* e) override;
  // The buttons' own keys: a focused button answers Enter itself, so a held one is stopped there too.
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  TQueryForm& form_;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

// Paints a 32-bit surface (blue, green, red, transparency) into the widget, scaled with its aspect kept
// when the widget is not the surface's size: crisply by a whole number when one fits nearly as well,
// smoothly otherwise.
void PaintSurface(QWidget& widget, const TABitmap& surface);
// Where a point of a frame of `frame` pixels lies in the widget that shows it scaled (PaintSurface), and back.
QPointF FrameToWidget(const QWidget& widget, QSize frame, Point p);
// The part of the widget that shows `area` of the frame (with a pixel more on each side, which smooth
// scaling blends in), within the widget.
QRect FrameAreaToWidget(const QWidget& widget, QSize frame, const Rect& area);
Point WidgetToFrame(const QWidget& widget, QSize frame, QPointF p);
// Widget pixels per frame pixel of the 800x600 frame as the widget shows it.
double FrameScale(const QWidget& widget);
// The engine's name of a mouse button.
MouseButton ButtonOf(Qt::MouseButton b);

}  // namespace mokuren
