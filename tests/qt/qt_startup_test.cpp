// Start-up in the window: damage the player must know of is shown in a message box, and the game goes on.
#include <gtest/gtest.h>

#include <QMessageBox>

#include "qt/qt_fixture.h"

namespace mokuren::testing {
namespace {

using QtStartup = QtFixture;

TEST_F(QtStartup, AnEmptyFirstScriptIsShownInAMessageBoxAndTheGameGoesOn) {
  BuildTestGame(dir_.path(), TestGame{{{2, "end\n"}}, {}, {}});  // script 1 left empty
  // The headless run of the same game ends as it always has, with a whole SAVE.DAT.
  EXPECT_EQ(RunProgram("'" + dir_.path().string() + "' --headless --max-ms 1000"), 0);
  EXPECT_EQ(std::filesystem::file_size(dir_.path() / "SAVE.DAT"), kSaveFileSize);

  QString shown;
  std::unique_ptr<QTimer> watch;
  Launch([&] {
    watch = std::make_unique<QTimer>();
    QObject::connect(watch.get(), &QTimer::timeout, [&] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
          shown = box->text();
          box->accept();
        }
    });
    watch->start(20);
  });
  EXPECT_TRUE(shown.contains("SCRIPT.DAT のエントリー 1（ゲームの最初のスクリプト）を読み込めません: 中身が空です"))
      << shown.toStdString();
  EXPECT_TRUE(shown.contains("the entry is empty"));
  EXPECT_EQ(qt_->Main().windowTitle(), "Mokuren");
  // The empty script runs in its place.
  Passes(10);
  EXPECT_FALSE(Closed());
  EXPECT_EQ(Script(), 1);
}

}  // namespace
}  // namespace mokuren::testing
