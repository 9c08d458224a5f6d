// The Qt views: the 800x600 main window, the floating message window and the confirmation dialog.
// They draw the engine's surfaces and forward input to the engine's handlers; they hold no game state.
#pragma once

#include <QDialog>
#include <QWidget>

namespace mokuren {

class TABitmap;
class TForm1;
class QtPlatform;

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
  void focusOutEvent(QFocusEvent*) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  QtPlatform& platform_;
  const TABitmap* frame_ = nullptr;
};

class FloatWindow final : public QWidget {
  Q_OBJECT
 public:
  explicit FloatWindow(QtPlatform& platform);
  void SetFrame(const TABitmap* frame) { frame_ = frame; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;

 private:
  QtPlatform& platform_;
  const TABitmap* frame_ = nullptr;
};

// The view of TQueryForm: the question, "ＯＫ" and "キャンセル".
class QueryDialog final : public QDialog {
  Q_OBJECT
 public:
  QueryDialog(QWidget* parent, TForm1& form);

 protected:
  void reject() override;

 private:
  TForm1& form_;
};

// Paints a 32-bit surface (blue, green, red, transparency) into a rectangle, scaled with its aspect kept.
void PaintSurface(QWidget& widget, const TABitmap& surface);

}  // namespace mokuren
