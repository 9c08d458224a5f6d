// The view of TNameForm: the name box, "決定" and the hint line. It takes Japanese input methods like
// any text box; only a name the form accepts closes it.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "backends/qt/qt_windows.h"

namespace mokuren {

class TNameForm;

class NameDialog final : public QDialog, public AutomatedDialog {
  Q_OBJECT
 public:
  NameDialog(QWidget* parent, TNameForm& form);
  void Press(bool ok) override;
  bool Fill(const Event& event) override;
  QWidget& Widget() override { return *this; }
  // Shows Label1 as the form holds it now.
  void Refresh();
  QLineEdit& Edit() { return *edit_; }

 protected:
  // Neither Escape nor the window manager's close command leaves the dialog.
  void reject() override {}
  void closeEvent(QCloseEvent* e) override;

 private:
  // Makes the hint's label, and the dialog with it, tall enough for the whole hint.
  void FitHint();

  TNameForm& form_;
  QLineEdit* edit_ = nullptr;
  QPushButton* button_ = nullptr;
  QLabel* label_ = nullptr;
};

}  // namespace mokuren
