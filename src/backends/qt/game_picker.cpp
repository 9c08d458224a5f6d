#include "backends/qt/game_picker.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/picker_texts.h"
#include "platform/recent_games.h"

namespace mokuren {

namespace {

// A text of the picker (base/picker_texts.h) in the player's language.
QString Tr(const TextTranslator& text, std::u16string_view original) {
  return QString::fromStdU16String(text(original));
}

QString Shown(const std::filesystem::path& dir) { return QString::fromStdString(dir.string()); }

// "木蓮 — /home/me/Games/Mokuren": the game's title where it has one.
QString Entry(const RecentGame& game) {
  return game.title.empty() ? Shown(game.dir)
                            : QString::fromStdString(game.title) + QString::fromUtf8(" — ") + Shown(game.dir);
}

}  // namespace

std::optional<std::filesystem::path> PickGame(const std::vector<RecentGame>& recent, const TextTranslator& text) {
  QDialog dialog;
  dialog.setWindowTitle(Tr(text, picker_text::kCaption));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(
      new QLabel(Tr(text, recent.empty() ? picker_text::kChooseFolder : picker_text::kChooseGame), &dialog));
  auto* list = new QListWidget(&dialog);
  for (const RecentGame& game : recent) list->addItem(Entry(game));
  list->setVisible(!recent.empty());
  if (!recent.empty()) list->setCurrentRow(0);
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* play = buttons->addButton(Tr(text, picker_text::kPlay), QDialogButtonBox::AcceptRole);
  QPushButton* browse = buttons->addButton(Tr(text, picker_text::kBrowse), QDialogButtonBox::ActionRole);
  buttons->addButton(Tr(text, picker_text::kCancel), QDialogButtonBox::RejectRole);
  play->setEnabled(!recent.empty());
  layout->addWidget(buttons);

  std::optional<std::filesystem::path> chosen;
  QObject::connect(play, &QPushButton::clicked, &dialog, [&] {
    const int row = list->currentRow();
    if (row < 0 || row >= static_cast<int>(recent.size())) return;
    chosen = recent[static_cast<size_t>(row)].dir;
    dialog.accept();
  });
  QObject::connect(list, &QListWidget::itemActivated, play, &QPushButton::click);
  QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
    const QString folder = QFileDialog::getExistingDirectory(&dialog, Tr(text, picker_text::kFolderCaption));
    if (folder.isEmpty()) return;
    const std::filesystem::path dir(folder.toStdString());
    if (!HoldsGame(dir)) {
      QMessageBox::warning(&dialog, dialog.windowTitle(),
                           Tr(text, picker_text::kNoGameThere) + QLatin1Char('\n') + Shown(dir));
      return;
    }
    chosen = dir;
    dialog.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  dialog.exec();
  return chosen;
}

}  // namespace mokuren
