// The Qt backend on Qt's offscreen platform: the main window, its popup menu and the close question.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <string>
#include <vector>

#include "backends/qt/save_load_view.h"
#include "qt/qt_fixture.h"

namespace mokuren::testing {
namespace {

class QtBackend : public QtFixture {
 protected:
  void SetUp() override { Start(); }
};

TEST_F(QtBackend, PopupMenuHoldsEveryItemAndSeparatorInOrder) {
  QStringList texts;
  for (QAction* a : qt_->Menu().actions()) texts << (a->isSeparator() ? QString("-") : a->text());
  EXPECT_EQ(texts,
            (QStringList{"既読スキップ", "シーンスキップ", "自動進行", "-", "ウィンドウ消去", "ウィンドウフロート化",
                         "-", "セーブ", "ロード", "-", "環境設定", "-", "タイトルに戻る", "ゲーム終了"}));
  // Outside a message or choice wait the play items are disabled; settings, title and quit are not.
  EXPECT_FALSE(qt_->MenuEnabled(MenuItem::menuKSkip));
  EXPECT_TRUE(qt_->MenuEnabled(MenuItem::menuConfig));
  EXPECT_TRUE(qt_->MenuEnabled(MenuItem::menuQuit));
}

TEST_F(QtBackend, MainWindowShowsTheFrameAt800x600) {
  QWidget& w = qt_->Main();
  EXPECT_EQ(w.size(), QSize(800, 600));
  EXPECT_EQ(w.windowTitle(), "Mokuren");
  // A scene of one colour reaches the window as that colour.
  Stop();
  BuildTestGame(dir(),
                TestGame{{{1, "bg \"BG\"\nshow\nwait click\n"}}, {{"BG", SolidPng(800, 600, 0x90, 0x60, 0x30)}}, {}});
  Launch();
  ASSERT_TRUE(RunUntilTask(task::WaitKey));
  Passes(10);
  QImage shot = qt_->Main().grab().toImage();
  EXPECT_EQ(shot.pixelColor(400, 300), QColor(0x90, 0x60, 0x30));
}

TEST_F(QtBackend, CancelToTheCloseQuestionKeepsTheGameRunning) {
  PressLater("キャンセル");
  Apply("quit");
  EXPECT_EQ(FormTexts(FormId::TQueryForm).at(1), u"ゲームを終了しますか？");
  EXPECT_FALSE(Closed());
  PressLater("ＯＫ");
  Apply("quit");
  EXPECT_TRUE(Closed());
}

// Enter held on from the game repeats; only a fresh press answers the question, so a player holding Enter
// through the last message does not quit by it.
TEST_F(QtBackend, AHeldEnterDoesNotAnswerTheCloseQuestion) {
  WhenUp([&] { return qt_->FrontView() != nullptr; },
         [&] {
           QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
           QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : qt_->FrontView(),
                                   &repeat);
           PressLater("キャンセル");
         });
  Apply("quit");
  EXPECT_FALSE(Closed());
}

// The events file goes through the real widgets: "quit" closes the real window, whose close question is
// read back with "dialog-text" and answered by clicking its real button.
TEST_F(QtBackend, EventsReachTheRealWindowAndDialog) {
  const std::string texts = (dir() / "texts.txt").string();
  // The close question runs passes until answered; its answer comes from the events as they fall due.
  QTimer::singleShot(100, [&] { Apply("dialog-text " + texts); });
  QTimer::singleShot(200, [&] { Apply("dialog cancel"); });
  Apply("quit");
  EXPECT_FALSE(Closed());
  EXPECT_EQ(ReadFile(texts), "確認\nゲームを終了しますか？\n");
}

// The save screen lies over the whole main window, follows its size, and takes the events file's clicks;
// its comment dialog's text box and buttons are the real widgets.
TEST_F(QtBackend, SaveScreenAndCommentDialogTakeTheEventsThroughTheirWidgets) {
  // A new game started from the title, waiting at a message: saving is allowed.
  Stop();
  BuildTestGame(dir(), TestGame{{{1, "title\nsysmenu 1\nmsg \"一\"\nwait click\n"}}, {}, {}});
  Launch();
  ASSERT_TRUE(RunUntilTask(task::TitleMenu));
  Apply("click 200 100");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Passes(1);
  const std::string commentTexts = (dir() / "comment.txt").string();
  const std::string screenTexts = (dir() / "screen.txt").string();
  const std::vector<std::string> lines = {"click 100 100",
                                          "rclick 100 100",
                                          "comment 夕焼けの坂道を二人で歩いた帰り道に交わした約束のこと",
                                          "dialog-text " + commentTexts,
                                          "dialog ok",
                                          "dialog-text " + screenTexts};
  QWidget& main = qt_->Main();
  QRect screenGeometry;
  // The menu item opens the screen, which runs passes until it is closed; the rest falls due meanwhile.
  for (size_t i = 0; i < lines.size(); ++i)
    QTimer::singleShot(100 * static_cast<int>(i + 1), [&, i] { Apply(lines[i]); });
  QTimer::singleShot(700, [&] {
    main.setFixedSize(1000, 750);
    QApplication::processEvents();
    if (QWidget* view = main.findChild<SaveLoadView*>()) screenGeometry = view->geometry();
    Apply("click 600 580");  // the close area, where the scaled page shows it
  });
  Apply("menu menuSave");
  EXPECT_FALSE(FrontForm());
  EXPECT_EQ(screenGeometry, QRect(0, 0, 1000, 750));
  EXPECT_EQ(Kept().Slot(1).Used, 1);
  // The box stops at the 24 units a comment keeps.
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(Kept().Slot(1).Comment), 24),
            u"夕焼けの坂道を二人で歩いた帰り道に交わした約束の");
  EXPECT_EQ(ReadFile(commentTexts), "コメント\n夕焼けの坂道を二人で歩いた帰り道に交わした約束の\n");
  EXPECT_EQ(ReadFile(screenTexts), "セーブ\n");
}

// The save screen keeps the keyboard whatever is pressed: Tab moves between its slots, and Escape still
// leaves it afterwards.
TEST_F(QtBackend, TheSaveScreenKeepsTheKeyboardAfterTabAndEscapeLeavesIt) {
  Stop();
  // A new game from the title, where saving is allowed.
  BuildTestGame(dir(), TestGame{{{1, "cursor 1\nsysmenu 0\ntitle\nsysmenu 1\nmsg \"一\"\n"}}, {}, {}});
  Launch();
  ASSERT_TRUE(RunUntilTask(task::TitleMenu));
  Apply("click 200 110");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  bool stuck = false;
  WhenUp([&] { return SaveLoadMode().has_value() && QApplication::focusWidget(); },
         [&] {
           for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Escape}) {
             QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
             QApplication::sendEvent(QApplication::focusWidget(), &press);
           }
           // Closed from its close area if Escape has not closed it by the deadline, so that the test ends.
           QTimer::singleShot(3000, [&] {
             if (!SaveLoadMode().has_value()) return;
             stuck = true;
             Apply("click 600 580");
           });
         });
  Menu(MenuItem::menuSave);
  EXPECT_FALSE(stuck);
}

}  // namespace
}  // namespace mokuren::testing
