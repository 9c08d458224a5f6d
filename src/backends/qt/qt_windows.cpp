#include "backends/qt/qt_windows.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "backends/qt/dialog_style.h"
#include "backends/qt/qt_platform.h"
#include "dialogs/TQueryForm.h"
#include "graphics/ABitmap.h"
#include "platform/window_host.h"
#include "text/TMsgForm.h"

namespace mokuren {

namespace {

bool TrackKey(QtPlatform& platform, QKeyEvent* e, bool down) {
  Key key;
  if (!EngineKey(e->key(), key)) return false;
  // A held key's repeats count as presses for the keys that move between items; the others are
  // level-sampled and act again on their own while held.
  if (e->isAutoRepeat()) {
    if (down && MovesFocus(key)) platform.RepeatKey(key);
    return true;
  }
  platform.SetKey(key, down);
  return true;
}

}  // namespace

namespace {

// Where a frame is painted: scaled to fit the widget with its aspect kept, centred on whole device
// pixels. A whole-number scale in device pixels makes each frame pixel a crisp square of device pixels:
// the window at its own size, twice it on a screen of twice the density, or a window the player made a
// little larger than twice the frame, where the picture stays at twice with a thin black border rather
// than turning soft. Otherwise the picture is scaled smoothly to fill the widget.
struct FramePlacement {
  QRectF rect;  // in the widget's coordinates
  bool crisp;
};

// A whole-number scale is kept while it gives up at most this share of the size that would fit.
constexpr double kCrispTolerance = 1.0 / 8;

FramePlacement PlaceFrame(const QWidget& widget, QSize frame) {
  const double dpr = widget.devicePixelRatioF();
  const double width = widget.width() * dpr, height = widget.height() * dpr;
  double scale = std::min(width / frame.width(), height / frame.height());
  // The small epsilon keeps a scale that is whole but for rounding (1.9999999) whole.
  const double whole = std::floor(scale + 1e-9);
  const bool crisp = whole >= 1 && whole >= scale * (1 - kCrispTolerance);
  if (crisp) scale = whole;
  const double w = frame.width() * scale, h = frame.height() * scale;
  return {QRectF(std::floor((width - w) / 2) / dpr, std::floor((height - h) / 2) / dpr, w / dpr, h / dpr), crisp};
}

QRectF FrameRect(const QWidget& widget, QSize frame) { return PlaceFrame(widget, frame).rect; }

}  // namespace

double FrameScale(const QWidget& widget) { return FrameRect(widget, kFrameSize).width() / kFrameSize.width(); }

MouseButton ButtonOf(Qt::MouseButton b) {
  if (b == Qt::RightButton) return MouseButton::Right;
  if (b == Qt::MiddleButton) return MouseButton::Middle;
  return MouseButton::Left;
}

QPointF FrameToWidget(const QWidget& widget, QSize frame, Point p) {
  const QRectF r = FrameRect(widget, frame);
  const double s = r.width() / frame.width();
  // The centre of the frame pixel, so that the way back lands on the same pixel.
  return {r.left() + (p.x + 0.5) * s, r.top() + (p.y + 0.5) * s};
}

QRect FrameAreaToWidget(const QWidget& widget, QSize frame, const Rect& area) {
  const QRectF r = FrameRect(widget, frame);
  const double s = r.width() / frame.width();
  const QRectF shown(r.left() + area.x * s, r.top() + area.y * s, area.width * s, area.height * s);
  return shown.toAlignedRect().adjusted(-1, -1, 1, 1) & widget.rect();
}

Point WidgetToFrame(const QWidget& widget, QSize frame, QPointF p) {
  const QRectF r = FrameRect(widget, frame);
  const double s = r.width() / frame.width();
  return {static_cast<int32_t>(std::floor((p.x() - r.left()) / s)),
          static_cast<int32_t>(std::floor((p.y() - r.top()) / s))};
}

QStringList AutomatedDialog::Texts() const {
  QWidget& w = const_cast<AutomatedDialog*>(this)->Widget();
  QStringList texts{w.windowTitle()};
  for (QLabel* label : w.findChildren<QLabel*>())
    if (!label->text().isEmpty()) texts << label->text();
  for (QLineEdit* edit : w.findChildren<QLineEdit*>()) texts << edit->text();
  return texts;
}

void PaintSurface(QWidget& widget, const TABitmap& surface) {
  QPainter p(&widget);
  if (!surface.IsValid()) {
    p.fillRect(widget.rect(), Qt::black);
    return;
  }
  // The transparency byte sits where RGB32 ignores it, so the surface is drawn straight from the engine's
  // memory: no copy and no conversion, each frame.
  const QImage image(surface.Bits(), surface.Width(), surface.Height(), surface.Width() * 4, QImage::Format_RGB32);
  const FramePlacement place = PlaceFrame(widget, QSize(surface.Width(), surface.Height()));
  // Only the border around the picture is filled, so no pixel is painted twice.
  const QRectF all(widget.rect()), r = place.rect;
  for (const QRectF& bar : {QRectF(all.left(), all.top(), all.width(), r.top() - all.top()),
                            QRectF(all.left(), r.bottom(), all.width(), all.bottom() + 1 - r.bottom()),
                            QRectF(all.left(), r.top(), r.left() - all.left(), r.height()),
                            QRectF(r.right(), r.top(), all.right() + 1 - r.right(), r.height())})
    if (bar.width() > 0 && bar.height() > 0) p.fillRect(bar, Qt::black);
  p.setRenderHint(QPainter::SmoothPixmapTransform, !place.crisp);
  p.drawImage(r, image);
}

MainWindow::MainWindow(QtPlatform& platform) : platform_(platform) {
  setWindowTitle("Mokuren");
  // The player may make the window any size from half the frame up; the frame follows (PaintSurface).
  setMinimumSize(kFrameSize / 2);
  resize(kFrameSize);
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);
}

void MainWindow::paintEvent(QPaintEvent*) {
  if (frame_) {
    PaintSurface(*this, *frame_);
  } else {
    QPainter(this).fillRect(rect(), Qt::black);
  }
}

void MainWindow::mousePressEvent(QMouseEvent* e) {
  platform_.host().FormMouseDown(ButtonOf(e->button()), WidgetToFrame(*this, kFrameSize, e->position()));
}

void MainWindow::resizeEvent(QResizeEvent*) { platform_.MainPlaced(); }
void MainWindow::moveEvent(QMoveEvent*) { platform_.MainPlaced(); }

void MainWindow::wheelEvent(QWheelEvent* e) {
  if (e->angleDelta().y() > 0)
    platform_.host().FormMouseWheelUp();
  else if (e->angleDelta().y() < 0)
    platform_.host().FormMouseWheelDown();
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
  if (!e->isAutoRepeat()) platform_.NavigationKey(e->key(), WindowId::Main);
  if (!TrackKey(platform_, e, true)) QWidget::keyPressEvent(e);
}

// Tab and Shift+Tab move between the game's items, not between widgets.
bool MainWindow::focusNextPrevChild(bool) { return false; }

void MainWindow::keyReleaseEvent(QKeyEvent* e) {
  if (!TrackKey(platform_, e, false)) QWidget::keyReleaseEvent(e);
}

void MainWindow::focusOutEvent(QFocusEvent*) { platform_.ClearKeys(); }

void MainWindow::closeEvent(QCloseEvent* e) {
  // The engine asks first and ends its own loop when the player confirms.
  e->ignore();
  platform_.host().Close();
}

FloatWindow::FloatWindow(QtPlatform& platform, QWidget& owner)
    : QWidget(&owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      platform_(platform),
      owner_(owner) {
  // A tool window of the game's: no entry of its own in the task bar or the window switcher, named after
  // the game as its main window is (SetMainCaption).
  setWindowTitle(owner.windowTitle());
  FollowMain();
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Turning it on from the menu leaves the keyboard with the main window; a click here takes it.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::StrongFocus);
  settle_.setSingleShot(true);
  settle_.setInterval(250);
  connect(&settle_, &QTimer::timeout, this, [this] { KeepBandOnScreen(); });
}

TMsgForm& FloatWindow::form() { return platform_.host().GetMsgForm(); }

void FloatWindow::FollowMain() {
  const QRectF frame = FrameRect(owner_, kFrameSize);
  const double scale = FrameScale(owner_);
  const QPointF origin = owner_.mapToGlobal(frame.topLeft());
  // It keeps its place on the picture wherever the picture goes: full screen and back, a resize, a move.
  if (isVisible() && scale_ > 0) move((origin + (QPointF(pos()) - origin_) * (scale / scale_)).toPoint());
  origin_ = origin;
  scale_ = scale;
  // The size of the message area as the main window shows it.
  setFixedSize(QSizeF(TMsgForm::ClientWidth * scale, TMsgForm::ClientHeight * scale).toSize());
}

void FloatWindow::setVisible(bool visible) {
  if (visible && !isVisible()) {
    FollowMain();
    move((origin_ + QPointF(TMsgForm::ShowAt.x, TMsgForm::ShowAt.y) * scale_).toPoint());
    KeepBandOnScreen();
  }
  QWidget::setVisible(visible);
}

void FloatWindow::KeepBandOnScreen() {
  const QRect band(pos(), QSize(width(), static_cast<int>(std::ceil((TMsgForm::DragBand + 1) * scale_))));
  // The screen that shows most of the band, else the one nearest to it.
  QScreen* best = nullptr;
  int64_t bestShown = -1, bestDistance = 0;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect room = screen->availableGeometry();
    const QRect shown = room & band;
    const int64_t area = shown.isEmpty() ? 0 : int64_t{shown.width()} * shown.height();
    const int64_t distance = (room.center() - band.center()).manhattanLength();
    if (area > bestShown || (area == bestShown && distance < bestDistance)) {
      best = screen;
      bestShown = area;
      bestDistance = distance;
    }
  }
  if (!best) return;
  const QRect room = best->availableGeometry();
  // A band wider than the screen keeps its left end on it.
  const int x = std::max(room.left(), std::min(band.left(), room.right() + 1 - band.width()));
  const int y = std::max(room.top(), std::min(band.top(), room.bottom() + 1 - band.height()));
  if (QPoint(x, y) != band.topLeft()) move(x, y);
}

void FloatWindow::paintEvent(QPaintEvent*) { PaintSurface(*this, form().Picture); }

void FloatWindow::mousePressEvent(QMouseEvent* e) {
  const Point p = WidgetToFrame(*this, QSize(TMsgForm::ClientWidth, TMsgForm::ClientHeight), e->position());
  if (!platform_.host().FloatMouseDown(ButtonOf(e->button()), p)) return;
  // startSystemMove lets the window manager drag it, which works where windows cannot place themselves;
  // without one (a bare X server, the offscreen platform) the window follows the pointer itself.
  if (windowHandle() && windowHandle()->startSystemMove()) return;
  dragFrom_ = e->position();
}

void FloatWindow::mouseMoveEvent(QMouseEvent* e) {
  if (dragFrom_ && (e->buttons() & Qt::LeftButton)) move((e->globalPosition() - *dragFrom_).toPoint());
}

void FloatWindow::mouseReleaseEvent(QMouseEvent*) {
  if (!dragFrom_) return;
  dragFrom_.reset();
  KeepBandOnScreen();
}

void FloatWindow::moveEvent(QMoveEvent*) {
  // Moved by the window manager's drag (or with the main window): the band goes back on a screen once
  // the moves stop.
  if (isVisible() && !dragFrom_) settle_.start();
}

void FloatWindow::wheelEvent(QWheelEvent* e) {
  if (e->angleDelta().y() > 0)
    form().FormMouseWheelUp();
  else if (e->angleDelta().y() < 0)
    form().FormMouseWheelDown();
}

void FloatWindow::focusOutEvent(QFocusEvent*) { platform_.ClearKeys(); }

void FloatWindow::keyPressEvent(QKeyEvent* e) {
  if (!e->isAutoRepeat()) platform_.NavigationKey(e->key(), WindowId::Float);
  if (!TrackKey(platform_, e, true)) QWidget::keyPressEvent(e);
}

bool FloatWindow::focusNextPrevChild(bool) { return false; }

void FloatWindow::keyReleaseEvent(QKeyEvent* e) {
  if (!TrackKey(platform_, e, false)) QWidget::keyReleaseEvent(e);
}

QueryDialog::QueryDialog(QWidget* parent, TQueryForm& form) : QDialog(parent, kDialogFlags), form_(form) {
  const TQueryForm& q = form;
  SetUpDialog(*this, q.Caption, {257, 79}, false);
  // A question or a button caption longer than the standard box's widens it (the box that asks whether
  // to try a failed save again).
  const QFontMetrics metrics(font());
  const int buttonWidth = std::max(
      {80, metrics.horizontalAdvance(Q(q.OkCaption)) + 16, metrics.horizontalAdvance(Q(q.CancelCaption)) + 16});
  const int width = std::max({257, metrics.horizontalAdvance(Q(q.Label1)) + 24, 2 * buttonWidth + 48});
  setFixedSize(width, 79);
  auto* label = new QLabel(Q(q.Label1), this);
  label->setGeometry(12, 12, width - 24, 24);
  label->setAlignment(Qt::AlignCenter);
  // "ＯＫ" and "キャンセル" side by side, centred under the question.
  auto* ok = new QPushButton(Q(q.OkCaption), this);
  ok->setGeometry(width / 2 - 4 - buttonWidth, 44, buttonWidth, 25);
  auto* cancel = new QPushButton(Q(q.CancelCaption), this);
  cancel->setGeometry(width / 2 + 5, 44, buttonWidth, 25);
  ok->setDefault(true);
  ok_ = ok;
  cancel_ = cancel;
  // A screen reader says the question with either button.
  setAccessibleName(Q(q.Caption));
  setAccessibleDescription(Q(q.Label1));
  for (QPushButton* b : {ok, cancel}) b->setAccessibleDescription(Q(q.Label1));
  for (QPushButton* b : {ok, cancel}) b->installEventFilter(this);
  connect(ok, &QPushButton::clicked, this, [this] { form_.OkButtonClick(); });
  connect(cancel, &QPushButton::clicked, this, [this] { form_.CancelButtonClick(); });
}

void QueryDialog::Press(bool ok) { (ok ? ok_ : cancel_)->click(); }

void QueryDialog::keyPressEvent(QKeyEvent* e) {
  // Enter held on from the game (through the last message, say) repeats: only a fresh press answers.
  if (e->isAutoRepeat() && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
    e->accept();
    return;
  }
  // Left and right move between the two buttons.
  if (e->key() == Qt::Key_Left || e->key() == Qt::Key_Right) {
    (e->key() == Qt::Key_Left ? ok_ : cancel_)->setFocus();
    e->accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

bool QueryDialog::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, e);
  const auto* key = static_cast<QKeyEvent*>(e);
  return key->isAutoRepeat() && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
}

void QueryDialog::reject() { form_.CancelButtonClick(); }

}  // namespace mokuren
