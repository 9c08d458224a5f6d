// The game picker, the window of a start without a game, and Qt's folder picker it opens, in the player's
// language.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <memory>

#include "backends/qt/dialog_style.h"
#include "backends/qt/game_picker.h"
#include "platform/game_files.h"
#include "text/engine_translation.h"

namespace mokuren::testing {
namespace {

TEST(QtGamePicker, ShowsTheShippedEnglishToAnEnglishPlayer) {
  int argc = 1;
  char name[] = "mokuren_qt_tests";
  char* argv[] = {name, nullptr};
  std::unique_ptr<QApplication> app;
  if (!QApplication::instance()) app = std::make_unique<QApplication>(argc, argv);
  EngineTranslation english;
  std::vector<std::string> problems;
  ASSERT_TRUE(
      english.Load(EngineTranslationFile(EngineTranslationsDir(ExecutableDirectory()), "", {"en_US.UTF-8"}), problems));

  QStringList texts;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible()) {
        texts << dialog->windowTitle();
        for (const QLabel* label : dialog->findChildren<QLabel*>()) texts << label->text();
        for (const QPushButton* button : dialog->findChildren<QPushButton*>()) texts << button->text();
        dialog->reject();
      }
  });
  watch.start(20);
  const auto picked =
      PickGame({{"/games/mokuren", "木蓮"}}, [&](std::u16string_view original) { return english.Translate(original); });
  EXPECT_FALSE(picked);
  EXPECT_EQ(texts,
            (QStringList{"Choose a game — Mokuren", "Choose the game to play.", "Play", "Choose a folder…", "Cancel"}));
}

// Qt's own dialogs (the folder picker the game picker opens) say their buttons in the player's language too.
TEST(QtGamePicker, QtsOwnButtonsSpeakJapaneseToAJapanesePlayer) {
  int argc = 1;
  char name[] = "mokuren_qt_tests";
  char* argv[] = {name, nullptr};
  std::unique_ptr<QApplication> app;
  if (!QApplication::instance()) app = std::make_unique<QApplication>(argc, argv);
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
  UseDialogLanguage("ja");
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "キャンセル")
      << "Qt's translations (qt6-translations-l10n) are missing";
}

}  // namespace
}  // namespace mokuren::testing
