// The view of TForm7, the save/load screen: a borderless child laid over the whole main window, so it
// covers the client area exactly and follows the window when it moves or goes full screen (the page is
// then scaled as the main window's frame is). It shows Image1 and hands mouse presses and keys to the form.
#pragma once

#include <QWidget>

#include "backends/qt/qt_windows.h"

namespace mokuren {

class TForm7;
class WindowHost;

class SaveLoadView final : public QWidget, public AutomatedDialog {
  Q_OBJECT
 public:
  SaveLoadView(QWidget& main, WindowHost& host);
  // The screen has no OK or cancel button: "dialog" does nothing here.
  void Press(bool) override {}
  QWidget& Widget() override { return *this; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  bool focusNextPrevChild(bool next) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // The form redraws Image1 on engine passes; the engine tells the platform when it changed.
  WindowHost& host_;
  TForm7& form_;
};

}  // namespace mokuren
