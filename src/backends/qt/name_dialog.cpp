#include "backends/qt/name_dialog.h"

#include <QCloseEvent>
#include <algorithm>

#include "backends/qt/dialog_style.h"
#include "base/text_codec.h"
#include "platform/event.h"
#include "text/TNameForm.h"

namespace mokuren {

NameDialog::NameDialog(QWidget* parent, TNameForm& form) : QDialog(parent, kDialogFlags), form_(form) {
  SetUpDialog(*this, form.Caption, {310, 75}, true);
  setAccessibleName(Q(form.Caption));
  setAccessibleDescription(Q(form.Hint));
  edit_ = new QLineEdit(Q(form.Edit1), this);
  edit_->setGeometry(8, 8, 201, 36);
  edit_->setFont(DialogFont(FontName::PMincho, 28));
  edit_->setAccessibleName(Q(form.Caption));
  edit_->setAccessibleDescription(Q(form.Hint));
  button_ = new QPushButton(Q(form.Button1Caption), this);
  button_->setGeometry(224, 16, 75, 25);
  button_->setDefault(true);
  button_->setAccessibleDescription(Q(form.Hint));
  label_ = new QLabel(Q(form.Label1), this);
  label_->setGeometry(8, 56, 297, 14);
  label_->setAlignment(Qt::AlignCenter);
  // A hint longer than the line, as a translation's may be, wraps (FitHint).
  label_->setWordWrap(true);
  FitHint();
  // Typing, pasting or an input method's commit keeps only what a name can hold (the form says why in the
  // hint); a text set from outside (the events file) is taken as it is.
  connect(edit_, &QLineEdit::textEdited, this, [this](const QString& text) {
    const std::u16string typed = text.toStdU16String();
    const std::u16string kept = form_.Typed(typed);
    if (kept != typed) {
      const int cursor = edit_->cursorPosition() - static_cast<int>(typed.size() - kept.size());
      edit_->setText(Q(kept));
      edit_->setCursorPosition(std::max(0, cursor));
    }
    Refresh();
  });
  connect(edit_, &QLineEdit::textChanged, this, [this](const QString& text) { form_.Edit1 = text.toStdU16String(); });
  connect(button_, &QPushButton::clicked, this, [this] {
    form_.Button1Click();
    Refresh();
  });
}

void NameDialog::Press(bool ok) {
  if (ok) button_->click();
}

bool NameDialog::Fill(const Event& event) {
  if (event.verb != Verb::Name) return false;
  edit_->setText(Q(FromUtf8(event.text)));
  button_->click();
  return true;
}

void NameDialog::Refresh() {
  label_->setText(Q(form_.Label1));
  FitHint();
}

void NameDialog::FitHint() {
  // The dialog grows downwards until the hint shows whole, and stays so: a later, shorter one does not
  // make it jump back.
  const int needed = label_->heightForWidth(label_->width());
  if (needed <= label_->height()) return;
  const int more = needed - label_->height();
  label_->resize(label_->width(), needed);
  setFixedSize(width(), height() + more);
}

void NameDialog::closeEvent(QCloseEvent* e) { e->ignore(); }

}  // namespace mokuren
