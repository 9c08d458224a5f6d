// The view of TDebugForm: a small window at the top left of the screen that stays on top, with the two
// status lines, the six buttons, the dump field and the error list.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "dialogs/TDebugForm.h"

namespace mokuren {

class DebugWindow final : public QWidget {
  Q_OBJECT
 public:
  explicit DebugWindow(TDebugForm& form);
  // Brings the labels and both text fields up to the form's state.
  void Refresh();
  QPushButton& Button(TDebugForm::Button b) { return *buttons_[b]; }
  QPlainTextEdit& Memo1() { return *memo1_; }
  QPlainTextEdit& Memo2() { return *memo2_; }
  QLabel& Label1() { return *label1_; }
  QLabel& Label2() { return *label2_; }

 protected:
  // The window has no close button, and the window manager's close command leaves it up.
  void closeEvent(QCloseEvent* e) override;

 private:
  TDebugForm& form_;
  QLabel* label1_ = nullptr;
  QLabel* label2_ = nullptr;
  QPlainTextEdit* memo1_ = nullptr;
  QPlainTextEdit* memo2_ = nullptr;
  std::array<QPushButton*, TDebugForm::ButtonCount> buttons_{};
  std::vector<std::u16string> shownMemo1_;
  uint64_t shownTotal_ = 0;    // lines of the error list shown so far
  uint64_t shownDropped_ = 0;  // lines it had let go when last shown
};

}  // namespace mokuren
