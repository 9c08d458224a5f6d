#include "platform/qt/qt_windows.h"

#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QWheelEvent>
#include <QWindow>
#include <cmath>

#include "dialogs/TQueryForm.h"
#include "graphics/ABitmap.h"
#include "platform/qt/dialog_style.h"
#include "platform/qt/qt_platform.h"
#include "platform/window_host.h"
#include "text/TMsgForm.h"

namespace mokuren {

namespace {

bool TrackKey(QtPlatform& platform, QKeyEvent* e, bool down) {
  if (e->isAutoRepeat()) return true;
  Key key;
  if (!EngineKey(e->key(), key)) return false;
  platform.SetKey(key, down);
  return true;
}

}  // namespace

namespace {

// Where a frame is painted: scaled to fit the widget with its aspect kept, centred on whole device
// pixels. When the scale in device pixels is a whole number (the window at its own size, or twice it on
// a screen of twice the density), each frame pixel becomes a crisp square of device pixels; otherwise the
// picture is scaled smoothly.
struct FramePlacement {
  QRectF rect;  // in the widget's coordinates
  bool crisp;
};

FramePlacement PlaceFrame(const QWidget& widget, QSize frame) {
  const double dpr = widget.devicePixelRatioF();
  const double width = widget.width() * dpr, height = widget.height() * dpr;
  double scale = std::min(width / frame.width(), height / frame.height());
  const bool crisp = scale >= 1 && std::abs(scale - std::round(scale)) < 1e-9;
  if (crisp) scale = std::round(scale);
  const double w = frame.width() * scale, h = frame.height() * scale;
  return {QRectF(std::floor((width - w) / 2) / dpr, std::floor((height - h) / 2) / dpr, w / dpr, h / dpr), crisp};
}

QRectF FrameRect(const QWidget& widget, QSize frame) { return PlaceFrame(widget, frame).rect; }

}  // namespace

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
  // The transparency byte sits where RGB32 ignores it, so the surface is shown without a copy.
  QImage image(surface.Bits(), surface.Width(), surface.Height(), surface.Width() * 4, QImage::Format_RGB32);
  const FramePlacement place = PlaceFrame(widget, QSize(surface.Width(), surface.Height()));
  if (place.rect != QRectF(widget.rect())) p.fillRect(widget.rect(), Qt::black);
  p.setRenderHint(QPainter::SmoothPixmapTransform, !place.crisp);
  p.drawImage(place.rect, image);
}

MainWindow::MainWindow(QtPlatform& platform) : platform_(platform) {
  setWindowTitle("Mokuren");
  setFixedSize(800, 600);
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
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
  platform_.host().FormMouseDown(ButtonOf(e->button()), WidgetToFrame(*this, QSize(800, 600), e->position()));
}

void MainWindow::wheelEvent(QWheelEvent* e) {
  if (e->angleDelta().y() > 0)
    platform_.host().FormMouseWheelUp();
  else if (e->angleDelta().y() < 0)
    platform_.host().FormMouseWheelDown();
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
  if (!TrackKey(platform_, e, true)) QWidget::keyPressEvent(e);
}

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
    : QWidget(&owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      platform_(platform),
      owner_(owner) {
  setWindowTitle(Q(form().Caption));
  setFixedSize(TMsgForm::ClientWidth, TMsgForm::ClientHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Turning it on from the menu leaves the keyboard with the main window; a click here takes it.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::StrongFocus);
}

TMsgForm& FloatWindow::form() { return platform_.host().GetMsgForm(); }

void FloatWindow::setVisible(bool visible) {
  if (visible && !isVisible()) {
    const QPointF at = FrameToWidget(owner_, QSize(800, 600), TMsgForm::ShowAt);
    move(owner_.mapToGlobal(QPoint(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y())))));
  }
  QWidget::setVisible(visible);
}

void FloatWindow::paintEvent(QPaintEvent*) { PaintSurface(*this, form().Picture); }

void FloatWindow::mousePressEvent(QMouseEvent* e) {
  const Point p = WidgetToFrame(*this, QSize(TMsgForm::ClientWidth, TMsgForm::ClientHeight), e->position());
  // startSystemMove lets the window system drag it, which works where windows cannot place themselves.
  if (form().FormMouseDown(ButtonOf(e->button()), p) && windowHandle()) windowHandle()->startSystemMove();
}

void FloatWindow::wheelEvent(QWheelEvent* e) {
  if (e->angleDelta().y() > 0)
    form().FormMouseWheelUp();
  else if (e->angleDelta().y() < 0)
    form().FormMouseWheelDown();
}

void FloatWindow::focusOutEvent(QFocusEvent*) { platform_.ClearKeys(); }

void FloatWindow::keyPressEvent(QKeyEvent* e) {
  if (!TrackKey(platform_, e, true)) QWidget::keyPressEvent(e);
}

void FloatWindow::keyReleaseEvent(QKeyEvent* e) {
  if (!TrackKey(platform_, e, false)) QWidget::keyReleaseEvent(e);
}

QueryDialog::QueryDialog(QWidget* parent, TQueryForm& form) : QDialog(parent, kDialogFlags), form_(form) {
  const TQueryForm& q = form;
  SetUpDialog(*this, q.Caption, {257, 79}, false);
  auto* label = new QLabel(Q(q.Label1), this);
  label->setGeometry(12, 12, 233, 24);
  label->setAlignment(Qt::AlignCenter);
  // "ＯＫ" and "キャンセル" side by side, centred under the question.
  auto* ok = new QPushButton(Q(q.OkCaption), this);
  ok->setGeometry(44, 44, 80, 25);
  auto* cancel = new QPushButton(Q(q.CancelCaption), this);
  cancel->setGeometry(133, 44, 80, 25);
  ok->setDefault(true);
  ok_ = ok;
  cancel_ = cancel;
  connect(ok, &QPushButton::clicked, this, [this] { form_.OkButtonClick(); });
  connect(cancel, &QPushButton::clicked, this, [this] { form_.CancelButtonClick(); });
}

void QueryDialog::Press(bool ok) { (ok ? ok_ : cancel_)->click(); }

void QueryDialog::reject() { form_.CancelButtonClick(); }

}  // namespace mokuren
