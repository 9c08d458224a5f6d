// The view of TCommentForm: a text box (any input method) with "OK" and "キャンセル", centred over the
// main window.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "backends/qt/qt_windows.h"

namespace mokuren {

class TCommentForm;

class CommentDialog final : public QDialog, public AutomatedDialog {
  Q_OBJECT
 public:
  CommentDialog(QWidget& main, TCommentForm& form);
  void Press(bool ok) override;
  // "comment TEXT" types TEXT into the box.
  bool Fill(const Event& event) override;
  QWidget& Widget() override { return *this; }

 protected:
  void showEvent(QShowEvent* e) override;
  void reject() override;

 private:
  TCommentForm& form_;
  QWidget& main_;
  QLineEdit* edit_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace mokuren
