#include "backends/qt/debug_window.h"

#include <QCloseEvent>

#include "backends/qt/dialog_style.h"

namespace mokuren {

namespace {

// Button1 ... Button6 along the top, right of the status lines.
constexpr QRect kButtonRects[TDebugForm::ButtonCount] = {{648, 8, 65, 25}, {576, 8, 65, 25}, {360, 8, 65, 25},
                                                         {432, 8, 65, 25}, {504, 8, 65, 25}, {328, 8, 27, 25}};

QString Lines(const std::vector<std::u16string>& lines, size_t from = 0) {
  QStringList text;
  for (size_t i = from; i < lines.size(); ++i) text << Q(lines[i]);
  return text.join('\n');
}

}  // namespace

DebugWindow::DebugWindow(TDebugForm& form) : form_(form) {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
  // Showing it must not take the keyboard from the game.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowTitle(Q(form.Caption));
  setFont(DialogFont(FontName::PGothic, 12));
  setFixedSize(720, 220);
  label1_ = new QLabel(this);
  label1_->setGeometry(8, 8, 316, 14);
  label2_ = new QLabel(this);
  label2_->setGeometry(8, 24, 316, 14);
  memo1_ = new QPlainTextEdit(this);
  memo1_->setGeometry(0, 40, 720, 118);
  memo1_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo2_ = new QPlainTextEdit(this);
  memo2_->setGeometry(0, 160, 720, 57);
  memo2_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setAccessibleName(Q(form.Caption));
  memo1_->setAccessibleName(QStringLiteral("FLG / MSG / RT"));
  memo2_->setAccessibleName(QStringLiteral("エラー"));
  label1_->setAccessibleName(Q(form.Caption));
  for (QPlainTextEdit* memo : {memo1_, memo2_}) {
    memo->setReadOnly(true);
    memo->setFont(DialogFont(FontName::Gothic, 12));
  }
  for (int b = 0; b < TDebugForm::ButtonCount; ++b) {
    buttons_[b] = new QPushButton(Q(TDebugForm::kButtons[b].caption), this);
    buttons_[b]->setGeometry(kButtonRects[b]);
    // Reached with Tab once the player brings the window to the front; a click leaves the keyboard where it
    // was.
    buttons_[b]->setFocusPolicy(Qt::TabFocus);
    connect(buttons_[b], &QPushButton::clicked, this, [this, b] {
      form_.Click(static_cast<TDebugForm::Button>(b));
      Refresh();
    });
  }
  Refresh();
}

void DebugWindow::Refresh() {
  label1_->setText(Q(form_.Label1));
  label2_->setText(Q(form_.Label2));
  if (shownMemo1_ != form_.Memo1) {
    shownMemo1_ = form_.Memo1;
    memo1_->setPlainText(Lines(shownMemo1_));
  }
  // New lines are appended and the view follows the last one; once the list has let its oldest lines go,
  // the view starts again from what it keeps, under a line that counts the others.
  const ErrorList& list = form_.Memo2;
  const std::vector<std::u16string>& errors = list.Lines();
  const uint64_t fresh = list.Total() - shownTotal_;
  if (list.Dropped() != shownDropped_ || fresh > errors.size()) {
    memo2_->clear();
    if (list.Dropped() > 0) {
      memo2_->appendPlainText(QString("… %1 earlier lines not kept").arg(static_cast<qulonglong>(list.Dropped())));
    }
    memo2_->appendPlainText(Lines(errors, 0));
  } else if (fresh > 0) {
    memo2_->appendPlainText(Lines(errors, errors.size() - static_cast<size_t>(fresh)));
  }
  shownDropped_ = list.Dropped();
  shownTotal_ = list.Total();
}

void DebugWindow::closeEvent(QCloseEvent* e) { e->ignore(); }

}  // namespace mokuren
