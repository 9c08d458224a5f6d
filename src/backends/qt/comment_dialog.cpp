#include "backends/qt/comment_dialog.h"

#include <QHBoxLayout>

#include "backends/qt/dialog_style.h"
#include "dialogs/TCommentForm.h"
#include "platform/event.h"

namespace mokuren {

CommentDialog::CommentDialog(QWidget& main, TCommentForm& form) : QDialog(&main), form_(form), main_(main) {
  setWindowTitle(QString::fromStdU16String(form.Caption));
  setWindowModality(Qt::ApplicationModal);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 8, 8, 8);
  row->setSpacing(7);
  edit_ = new QLineEdit(QString::fromStdU16String(form.Edit1), this);
  edit_->setFont(DialogFont(FontName::PGothic, 13));
  edit_->setMinimumWidth(241);
  // Typing stops at what a comment keeps, and a character of two units cut in half at the end is dropped.
  edit_->setMaxLength(static_cast<int>(TCommentForm::kCommentUnits));
  // What is typed stays in the form, also when the dialog is cancelled: the box shows it next time.
  connect(edit_, &QLineEdit::textChanged, this, [this](const QString& text) {
    form_.Edit1 = TCommentForm::FitBox(text.toStdU16String());
    if (form_.Edit1.size() != static_cast<size_t>(text.size())) edit_->setText(QString::fromStdU16String(form_.Edit1));
  });
  row->addWidget(edit_);
  // For a screen reader: the box is the slot's comment.
  setAccessibleName(QString::fromStdU16String(form.Caption));
  setAccessibleDescription(QString::fromStdU16String(form.Caption) + QStringLiteral("　") + QString::number(form.Tag));
  edit_->setAccessibleName(QString::fromStdU16String(form.Caption));
  edit_->setAccessibleDescription(QString::fromStdU16String(form.Caption) + QStringLiteral("　") +
                                  QString::number(form.Tag));
  ok_ = new QPushButton(QString::fromStdU16String(form.OkCaption), this);
  cancel_ = new QPushButton(QString::fromStdU16String(form.CancelCaption), this);
  ok_->setDefault(true);
  row->addWidget(ok_);
  row->addWidget(cancel_);
  connect(ok_, &QPushButton::clicked, this, [this] { form_.OkButtonClick(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { form_.CancelButtonClick(); });
}

void CommentDialog::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  // Centred over the main window's client area, wherever and however large it is.
  adjustSize();
  const QPoint centre = main_.mapToGlobal(main_.rect().center());
  move(centre.x() - width() / 2, centre.y() - height() / 2);
  edit_->setFocus();
}

void CommentDialog::Press(bool ok) { (ok ? ok_ : cancel_)->click(); }

bool CommentDialog::Fill(const Event& event) {
  if (event.verb != Verb::Comment) return false;
  edit_->setText(QString::fromStdString(event.text));
  return true;
}

void CommentDialog::reject() { form_.CancelButtonClick(); }

}  // namespace mokuren
