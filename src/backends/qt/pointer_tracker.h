// Where the pointer is, kept from the mouse events that reach the game's windows. The engine looks at the
// pointer on every pass, and asking the window system each time costs a round trip to the X server (and
// a wake-up of Qt's event thread) a hundred times a second while the player only reads.
#pragma once

#include <QObject>
#include <QPoint>

namespace mokuren {

class PointerTracker final : public QObject {
 public:
  // Watches every event of the application from now on, starting from where the pointer is.
  PointerTracker();
  // The pointer's position on the screen.
  QPoint Global() const { return global_; }
  // The pointer was moved by the program itself (the events file), to `global`.
  void MovedTo(QPoint global) { global_ = global; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPoint global_;
};

}  // namespace mokuren
