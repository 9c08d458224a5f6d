#include "backends/qt/save_load_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "backends/qt/qt_platform.h"
#include "platform/window_host.h"
#include "save/TForm7.h"

namespace mokuren {

SaveLoadView::SaveLoadView(QWidget& main, WindowHost& host)
    : QWidget(&main), host_(host), form_(host.GetSaveLoadForm()) {
  setWindowTitle(QString::fromStdU16String(form_.Caption));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  // The game may hide the pointer over its own window; the screen always shows it.
  setCursor(Qt::ArrowCursor);
  setGeometry(main.rect());
  main.installEventFilter(this);
}

void SaveLoadView::paintEvent(QPaintEvent*) { PaintSurface(*this, form_.Image1); }

void SaveLoadView::mousePressEvent(QMouseEvent* e) {
  e->accept();
  // Presses made while the comment dialog is up do not reach the page behind it.
  if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window()) return;
  host_.SaveLoadMouseDown(ButtonOf(e->button()), WidgetToFrame(*this, kFrameSize, e->position()));
}

// Nothing the screen does not use reaches the game's window underneath.
void SaveLoadView::mouseReleaseEvent(QMouseEvent* e) { e->accept(); }
void SaveLoadView::wheelEvent(QWheelEvent* e) { e->accept(); }

void SaveLoadView::keyPressEvent(QKeyEvent* e) {
  // The screen's own keys (the slots, the pages, Enter, F2, Escape), each repeat of a held key again;
  // other keys go on to the main window, which keeps track of what is held.
  Key key;
  if (EngineKey(e->key(), key) && form_.FormKeyDown(key)) {
    e->accept();
    return;
  }
  QWidget::keyPressEvent(e);
}

// Tab and Shift+Tab move between the slots; the keyboard never leaves the screen for the window under it.
bool SaveLoadView::focusNextPrevChild(bool) { return false; }

bool SaveLoadView::eventFilter(QObject* watched, QEvent* e) {
  if (watched == parentWidget() && e->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return false;
}

}  // namespace mokuren
