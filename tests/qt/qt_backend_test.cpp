// The Qt backend on Qt's offscreen platform: the main window, its popup menu and the close question.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include "app/TForm1.h"
#include "dialogs/TQueryForm.h"
#include "platform/qt/qt_platform.h"
#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

class QtBackend : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteMinimalGame(dir_.path());
    static int argc = 1;
    static char arg0[] = "mokuren";
    static char* argv[] = {arg0, nullptr};
    platform_ = std::make_unique<QtPlatform>(argc, argv);
    LaunchOptions options;
    options.gameDir = dir_.path().string();
    form_ = std::make_unique<TForm1>(*platform_, options);
    platform_->Attach(*form_);
    ASSERT_TRUE(form_->FormCreate());
    form_->StartLoopClock();
    for (int i = 0; i < 3; ++i) form_->IdleEvent();
  }
  void TearDown() override {
    form_.reset();
    platform_.reset();
  }
  // Presses the button with this caption in the dialog in front, a little later.
  void PressLater(const QString& caption) {
    QTimer::singleShot(200, [caption] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible()) continue;
        for (QPushButton* b : w->findChildren<QPushButton*>())
          if (b->text() == caption) b->click();
      }
    });
  }

  TempDir dir_;
  std::unique_ptr<QtPlatform> platform_;
  std::unique_ptr<TForm1> form_;
};

TEST_F(QtBackend, PopupMenuHoldsEveryItemAndSeparatorInOrder) {
  QStringList texts;
  for (QAction* a : platform_->Menu().actions()) texts << (a->isSeparator() ? QString("-") : a->text());
  EXPECT_EQ(texts,
            (QStringList{"既読スキップ", "シーンスキップ", "自動進行", "-", "ウィンドウ消去", "ウィンドウフロート化",
                         "-", "セーブ", "ロード", "-", "環境設定", "-", "タイトルに戻る", "ゲーム終了"}));
  // Outside a message or choice wait the play items are disabled; settings, title and quit are not.
  EXPECT_FALSE(platform_->MenuEnabled(MenuItem::menuKSkip));
  EXPECT_TRUE(platform_->MenuEnabled(MenuItem::menuConfig));
  EXPECT_TRUE(platform_->MenuEnabled(MenuItem::menuQuit));
}

TEST_F(QtBackend, MainWindowShowsTheFrameAt800x600) {
  QWidget& w = platform_->Main();
  EXPECT_EQ(w.size(), QSize(800, 600));
  EXPECT_EQ(w.windowTitle(), "Mokuren");
  // A frame of one colour (blue, green, red, transparency) reaches the window as that colour.
  form_->DisplaySurface.SetSize32(800, 600);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      uint8_t* p = form_->DisplaySurface.ScanLine(y) + 4 * x;
      p[0] = 0x30, p[1] = 0x60, p[2] = 0x90, p[3] = 0;
    }
  for (int i = 0; i < 10; ++i) form_->IdleEvent();
  QImage shot = w.grab().toImage();
  EXPECT_EQ(shot.pixelColor(400, 300), QColor(0x90, 0x60, 0x30));
}

TEST_F(QtBackend, CancelToTheCloseQuestionKeepsTheGameRunning) {
  PressLater("キャンセル");
  form_->Close();
  EXPECT_EQ(form_->QueryForm->Label1, u"ゲームを終了しますか？");
  EXPECT_FALSE(form_->Terminated());
  PressLater("ＯＫ");
  form_->Close();
  EXPECT_TRUE(form_->Terminated());
}

}  // namespace
}  // namespace mokuren::testing
