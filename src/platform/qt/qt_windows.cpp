#include "platform/qt/qt_windows.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>
#include <cmath>

#include "dialogs/TQueryForm.h"
#include "graphics/ABitmap.h"
#include "platform/qt/qt_platform.h"
#include "platform/window_host.h"
#include "text/TMsgForm.h"

namespace mokuren {

namespace {

QString Q(const std::u16string& s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

bool TrackKey(QtPlatform& platform, QKeyEvent* e, bool down) {
  if (e->isAutoRepeat()) return true;
  Key key;
  if (!EngineKey(e->key(), key)) return false;
  platform.SetKey(key, down);
  return true;
}

}  // namespace

namespace {

// The rectangle a frame is painted into: the whole widget at its own size, otherwise scaled to fit with
// its aspect kept and centred.
QRectF FrameRect(const QWidget& widget, QSize frame) {
  if (widget.size() == frame) return QRectF(QPointF(0, 0), QSizeF(frame));
  const double s = std::min(widget.width() / double(frame.width()), widget.height() / double(frame.height()));
  return QRectF((widget.width() - frame.width() * s) / 2, (widget.height() - frame.height() * s) / 2, frame.width() * s,
                frame.height() * s);
}

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
  if (widget.width() == surface.Width() && widget.height() == surface.Height()) {
    p.drawImage(0, 0, image);
    return;
  }
  p.fillRect(widget.rect(), Qt::black);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(FrameRect(widget, QSize(surface.Width(), surface.Height())), image);
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

QueryDialog::QueryDialog(QWidget* parent, TQueryForm& form) : QDialog(parent), form_(form) {
  const TQueryForm& q = form;
  setWindowTitle(Q(q.Caption));
  setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(Q(q.Label1), this);
  label->setAlignment(Qt::AlignCenter);
  label->setMinimumWidth(240);
  layout->addWidget(label);
  auto* row = new QHBoxLayout();
  auto* ok = new QPushButton(Q(q.OkCaption), this);
  auto* cancel = new QPushButton(Q(q.CancelCaption), this);
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  row->addStretch();
  layout->addLayout(row);
  ok->setDefault(true);
  ok_ = ok;
  cancel_ = cancel;
  connect(ok, &QPushButton::clicked, this, [this] { form_.OkButtonClick(); });
  connect(cancel, &QPushButton::clicked, this, [this] { form_.CancelButtonClick(); });
}

void QueryDialog::Press(bool ok) { (ok ? ok_ : cancel_)->click(); }

void QueryDialog::reject() { form_.CancelButtonClick(); }

}  // namespace mokuren
