// Every item of the popup menu chosen as a player chooses it: a right click on the real window opens the
// real menu, and the item's action is triggered. Afterwards the engine has done what the item says, and
// the item shows the check mark and caption the engine's handler gave it.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <functional>

#include "app/event_script.h"
#include "qt/qt_fixture.h"
#include "save/TForm7.h"

namespace mokuren::testing {
namespace {

class QtMenu : public QtFixture {
 protected:
  void SetUp() override { StartGame(); }
  // A new game started from the title ("start"), so that saving and loading are allowed, waiting at its
  // first message with the items enabled for the message wait.
  void StartGame() {
    Start("title\nsysmenu 1\nallowskip 1\nmsg \"一つ目\"\nmsg \"二つ目\"\nwait click\n");
    ASSERT_TRUE(RunUntilTask(task::TitleMenu));
    Apply("click 200 100");
    ASSERT_TRUE(RunUntilTask(task::MessageWait));
    Passes(1);
  }
  QAction& Action(MenuItem item) {
    QList<QAction*> items;
    for (QAction* a : qt_->Menu().actions())
      if (!a->isSeparator()) items << a;
    return *items.at(static_cast<int>(item));
  }
  // One events-file line without its time, delivered through the widgets: "click 600 580".
  void Deliver(const std::string& line) {
    EventScript events;
    std::string error;
    ASSERT_TRUE(events.Parse("0 " + line + "\n", error)) << error;
    ASSERT_TRUE(qt_->DeliverEvent(events.events().at(0)));
  }
  // A right click on the main window opens the menu; then the item is chosen.
  void Choose(MenuItem item) {
    Deliver("rclick 400 300");
    ASSERT_TRUE(qt_->Menu().isVisible());
    ASSERT_TRUE(Action(item).isEnabled());
    Action(item).trigger();
    qt_->Menu().hide();
  }
  // Notes the save/load screen's mode while it is up, then clicks its close area.
  void CloseSaveLoadLater() {
    QTimer::singleShot(200, [this] {
      saveLoadShown_ = SaveLoadMode().value_or(-1);
      Deliver("click 600 580");
    });
  }
  // Notes the caption of the dialog in front, then leaves it with cancel.
  void CancelDialogLater() {
    QTimer::singleShot(200, [this] {
      std::u16string texts;
      if (qt_->FrontDialogTexts(texts)) dialogCaption_ = texts.substr(0, texts.find(u'\n'));
      Deliver("dialog cancel");
    });
  }
  int saveLoadShown_ = -1;
  std::u16string dialogCaption_;
};

TEST_F(QtMenu, EveryItemDoesWhatItSaysAndKeepsTheCheckMarkAndCaptionItsHandlerGave) {
  struct Case {
    MenuItem item;
    QString caption;             // when the menu is opened again
    std::function<bool()> done;  // the engine's effect
  };
  const std::u16string kTitleQuestion = u"タイトルに戻りますか？", kQuitQuestion = u"ゲームを終了しますか？";
  const auto asked = [&](const std::u16string& question) { return FormTexts(FormId::TQueryForm).at(1) == question; };
  const Case cases[] = {
      {MenuItem::menuKSkip, "既読スキップ", [&] { return PlayModesNow().ReadSkip == 1; }},
      {MenuItem::menuSSkip, "シーンスキップ",
       [&] { return PlayModesNow().SceneSkip == 1 && Notice() == u"シーンスキップしました"; }},
      {MenuItem::menuAuto, "自動進行", [&] { return PlayModesNow().AutoMode == 1; }},
      {MenuItem::menuWindow, "ウィンドウ表示", [&] { return !WindowShown(); }},
      {MenuItem::menuFloat, "ウィンドウフロート化", [&] { return qt_->FloatVisible(); }},
      // The save/load screen opens in its mode; closed by its close area, the game waits on as it was.
      {MenuItem::menuSave, "セーブ",
       [&] { return saveLoadShown_ == TForm7::kSaveMode && Task() == task::MessageWait; }},
      {MenuItem::menuLoad, "ロード",
       [&] { return saveLoadShown_ == TForm7::kLoadMode && Task() == task::MessageWait; }},
      // The settings dialog opens; left without OK, the game waits on as it was.
      {MenuItem::menuConfig, "環境設定", [&] { return dialogCaption_ == u"環境設定" && Task() == task::MessageWait; }},
      // Refusing the question leaves the game as it was.
      {MenuItem::menuTitle, "タイトルに戻る", [&] { return asked(kTitleQuestion) && Task() == task::MessageWait; }},
      {MenuItem::menuQuit, "ゲーム終了", [&] { return asked(kQuitQuestion) && !Closed(); }},
  };
  // Each item on a game of its own, waiting at its first message.
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption.toStdString());
    Stop();
    StartGame();
    if (c.item == MenuItem::menuTitle || c.item == MenuItem::menuQuit) PressLater("キャンセル");
    saveLoadShown_ = -1;
    if (c.item == MenuItem::menuSave || c.item == MenuItem::menuLoad) CloseSaveLoadLater();
    dialogCaption_.clear();
    if (c.item == MenuItem::menuConfig) CancelDialogLater();
    Choose(c.item);
    EXPECT_TRUE(c.done());
    Deliver("rclick 400 300");
    EXPECT_EQ(Action(c.item).text(), c.caption);
    EXPECT_EQ(Action(c.item).isChecked(), c.item == MenuItem::menuFloat);
    qt_->Menu().hide();
    if (c.item == MenuItem::menuFloat) {
      Choose(c.item);
      EXPECT_FALSE(Action(c.item).isChecked());
    }
    EXPECT_EQ(MessageShown(), u"一つ目");
  }
}

// The floating window opens over the message area, and a click below its drag band passes the message.
TEST_F(QtMenu, FloatWindowClicksBelowTheDragBandPassTheMessage) {
  Choose(MenuItem::menuFloat);
  QWidget* floating = &qt_->FloatView();
  EXPECT_EQ(floating->geometry(), QRect(qt_->Main().mapToGlobal(QPoint(0, 416)), QSize(800, 184)));
  Deliver("float-click 400 32");
  Passes(20);
  EXPECT_EQ(MessageShown(), u"一つ目");
  Deliver("float-click 400 33");
  EXPECT_TRUE(RunUntil([&] { return MessageShown() == u"二つ目"; }));
}

}  // namespace
}  // namespace mokuren::testing
