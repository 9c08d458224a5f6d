#include "backends/qt/pointer_tracker.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QSinglePointEvent>

namespace mokuren {

PointerTracker::PointerTracker() : global_(QCursor::pos()) { QCoreApplication::instance()->installEventFilter(this); }

bool PointerTracker::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::Enter:
    case QEvent::Wheel: global_ = static_cast<QSinglePointEvent*>(event)->globalPosition().toPoint(); break;
    case QEvent::Leave:
      // Leaving may mean leaving every window of the game, after which no event tells where the pointer
      // goes; anywhere outside is alike to the engine, so one look at the system's pointer will do.
      global_ = QCursor::pos();
      break;
    default: break;
  }
  return false;
}

}  // namespace mokuren
