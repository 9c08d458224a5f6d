// The Qt backend on Qt's offscreen platform: the main window, its popup menu and the close question.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QMenu>

#include "app/event_script.h"
#include "dialogs/TQueryForm.h"
#include "platform/qt/save_load_view.h"
#include "qt/qt_fixture.h"
#include "save/TForm7.h"

namespace mokuren::testing {
namespace {

class QtBackend : public QtFixture {
 protected:
  void SetUp() override { Start(); }
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

// The save screen lies over the whole main window, follows its size, and takes the events file's clicks;
// its comment dialog's text box and buttons are the real widgets.
TEST_F(QtBackend, SaveScreenAndCommentDialogTakeTheEventsThroughTheirWidgets) {
  form_->TaskCode = task::MessageWait;
  form_->SystemMenuAllowed = 1;
  form_->NormalPlay = 1;
  form_->IdleEvent();
  EventScript events;
  std::string error;
  const std::string commentTexts = (dir_.path() / "comment.txt").string();
  const std::string screenTexts = (dir_.path() / "screen.txt").string();
  ASSERT_TRUE(
      events.Parse("0 menu menuSave\n0 click 100 100\n0 rclick 100 100\n0 comment "
                   "夕焼けの坂道を二人で歩いた帰り道に交わした約束のこと\n0 dialog-text " +
                       commentTexts + "\n0 dialog ok\n0 dialog-text " + screenTexts + "\n0 click 600 580\n",
                   error))
      << error;
  const auto due = events.TakeDue(0);
  QWidget& main = platform_->Main();
  QRect screenGeometry;
  // The menu item opens the screen, which runs passes until it is closed; the rest falls due meanwhile.
  for (int i = 1; i <= 6; ++i) QTimer::singleShot(100 * i, [&, i] { form_->ApplyEvent(due[static_cast<size_t>(i)]); });
  QTimer::singleShot(700, [&] {
    main.setFixedSize(1000, 750);
    QApplication::processEvents();
    if (QWidget* view = main.findChild<SaveLoadView*>()) screenGeometry = view->geometry();
    form_->ApplyEvent(due[7]);  // the close area, where the scaled page shows it
  });
  form_->ApplyEvent(due[0]);
  EXPECT_FALSE(form_->SaveLoadForm->Visible);
  EXPECT_EQ(screenGeometry, QRect(0, 0, 1000, 750));
  EXPECT_EQ(form_->Block->Slot(1).Used, 1);
  // The box stops at the 24 units a comment keeps.
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(form_->Block->Slot(1).Comment), 24),
            u"夕焼けの坂道を二人で歩いた帰り道に交わした約束の");
  EXPECT_EQ(ReadFile(commentTexts), "コメント\n夕焼けの坂道を二人で歩いた帰り道に交わした約束の\n");
  EXPECT_EQ(ReadFile(screenTexts), "セーブ\n");
}

}  // namespace
}  // namespace mokuren::testing
