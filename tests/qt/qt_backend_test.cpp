// The Qt backend on Qt's offscreen platform: the main window, its popup menu and the close question.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include "app/TForm1.h"
#include "app/event_script.h"
#include "dialogs/TQueryForm.h"
#include "platform/qt/qt_platform.h"
#include "qt/qt_fixture.h"
#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

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

// The events file goes through the real widgets: "quit" closes the real window, whose close question is
// read back with "dialog-text" and answered by clicking its real button.
TEST_F(QtBackend, EventsReachTheRealWindowAndDialog) {
  EventScript events;
  std::string error;
  const std::string texts = (dir_.path() / "texts.txt").string();
  ASSERT_TRUE(events.Parse("0 quit\n0 dialog-text " + texts + "\n0 dialog cancel\n", error)) << error;
  const auto due = events.TakeDue(0);
  // The close question runs passes until answered; its answer comes from the events as they fall due.
  QTimer::singleShot(100, [&] { form_->ApplyEvent(due[1]); });
  QTimer::singleShot(200, [&] { form_->ApplyEvent(due[2]); });
  form_->ApplyEvent(due[0]);
  EXPECT_FALSE(form_->Terminated());
  EXPECT_EQ(ReadFile(texts), "確認\nゲームを終了しますか？\n");
}

// A checkable menu item changes once per choice: its handler alone sets the check mark.
TEST_F(QtBackend, FloatItemChosenFromTheRealMenuTogglesOnce) {
  form_->TaskCode = task::MessageWait;
  form_->SystemMenuAllowed = 1;
  form_->IdleEvent();
  QAction* floatItem = nullptr;
  for (QAction* a : platform_->Menu().actions())
    if (a->text() == "ウィンドウフロート化") floatItem = a;
  ASSERT_NE(floatItem, nullptr);
  ASSERT_TRUE(floatItem->isEnabled());
  floatItem->trigger();
  EXPECT_TRUE(floatItem->isChecked());
  EXPECT_TRUE(platform_->FloatVisible());
  floatItem->trigger();
  EXPECT_FALSE(floatItem->isChecked());
  EXPECT_FALSE(platform_->FloatVisible());
}

}  // namespace
}  // namespace mokuren::testing
