// Every item of the popup menu chosen as a player chooses it: a right click on the real window opens the
// real menu, and the item's action is triggered. Afterwards the engine has done what the item says, and
// the item shows the check mark and caption the engine's handler gave it.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <functional>

#include "app/event_script.h"
#include "dialogs/TQueryForm.h"
#include "qt/qt_fixture.h"
#include "save/TForm7.h"

namespace mokuren::testing {
namespace {

class QtMenu : public QtFixture {
 protected:
  void SetUp() override {
    Start("sysmenu 1\nallowskip 1\nmsg \"一つ目\"\nmsg \"二つ目\"\nwait click\n");
    form_->NormalPlay = 1;  // as after "new game": saving and loading are allowed
    ASSERT_TRUE(RunUntil([&] { return form_->TaskCode == task::MessageWait; }));
    form_->IdleEvent();  // the items are enabled for the message wait
  }
  QAction& Action(MenuItem item) {
    QList<QAction*> items;
    for (QAction* a : platform_->Menu().actions())
      if (!a->isSeparator()) items << a;
    return *items.at(static_cast<int>(item));
  }
  // One events-file line without its time, delivered through the widgets: "click 600 580".
  void Deliver(const std::string& line) {
    EventScript events;
    std::string error;
    ASSERT_TRUE(events.Parse("0 " + line + "\n", error)) << error;
    ASSERT_TRUE(platform_->DeliverEvent(events.events().at(0)));
  }
  // A right click on the main window opens the menu; then the item is chosen.
  void Choose(MenuItem item) {
    Deliver("rclick 400 300");
    ASSERT_TRUE(platform_->Menu().isVisible());
    ASSERT_TRUE(Action(item).isEnabled());
    Action(item).trigger();
    platform_->Menu().hide();
  }
  std::u16string Message() { return form_->MessageText(form_->CurrentMessage); }
  // Notes the save/load screen's mode while it is up, then clicks its close area.
  void CloseSaveLoadLater() {
    QTimer::singleShot(200, [this] {
      if (form_->SaveLoadForm->Visible) saveLoadShown_ = form_->SaveLoadForm->Tag;
      Deliver("click 600 580");
    });
  }
  // Notes the caption of the dialog in front, then leaves it with cancel.
  void CancelDialogLater() {
    QTimer::singleShot(200, [this] {
      std::u16string texts;
      if (platform_->FrontDialogTexts(texts)) dialogCaption_ = texts.substr(0, texts.find(u'\n'));
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
    std::function<void()> undo;  // back to a plain message wait for the next item
  };
  const Case cases[] = {
      {MenuItem::menuKSkip, "既読スキップ", [&] { return form_->ReadSkip == 1; }, [&] { form_->ReadSkip = 0; }},
      {MenuItem::menuSSkip, "シーンスキップ",
       [&] { return form_->SceneSkip == 1 && form_->NoticeText == u"シーンスキップしました"; },
       [&] { form_->SceneSkip = 0; }},
      {MenuItem::menuAuto, "自動進行", [&] { return form_->AutoMode == 1; }, [&] { form_->AutoMode = 0; }},
      {MenuItem::menuWindow, "ウィンドウ表示", [&] { return form_->WindowShown == 0; },
       [&] { form_->WindowShown = 1; }},
      {MenuItem::menuFloat, "ウィンドウフロート化", [&] { return platform_->FloatVisible(); },
       [&] { Choose(MenuItem::menuFloat); }},
      // The save/load screen opens in its mode; closed by its close area, the game waits on as it was.
      {MenuItem::menuSave, "セーブ",
       [&] { return saveLoadShown_ == TForm7::kSaveMode && form_->TaskCode == task::MessageWait; }, [] {}},
      {MenuItem::menuLoad, "ロード",
       [&] { return saveLoadShown_ == TForm7::kLoadMode && form_->TaskCode == task::MessageWait; }, [] {}},
      // The settings dialog opens; left without OK, the game waits on as it was.
      {MenuItem::menuConfig, "環境設定",
       [&] { return dialogCaption_ == u"環境設定" && form_->TaskCode == task::MessageWait; }, [] {}},
      // Refusing the question leaves the game as it was.
      {MenuItem::menuTitle, "タイトルに戻る",
       [&] { return form_->QueryForm->Label1 == u"タイトルに戻りますか？" && form_->TaskCode == task::MessageWait; },
       [] {}},
      {MenuItem::menuQuit, "ゲーム終了",
       [&] { return form_->QueryForm->Label1 == u"ゲームを終了しますか？" && !form_->Terminated(); }, [] {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption.toStdString());
    form_->QueryForm->Label1.clear();
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
    platform_->Menu().hide();
    c.undo();
    EXPECT_FALSE(Action(c.item).isChecked());
    EXPECT_EQ(Message(), u"一つ目");
  }
}

// The floating window opens over the message area, and a click below its drag band passes the message.
TEST_F(QtMenu, FloatWindowClicksBelowTheDragBandPassTheMessage) {
  Choose(MenuItem::menuFloat);
  QWidget* floating = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->windowTitle() == "MsgForm") floating = w;
  ASSERT_NE(floating, nullptr);
  EXPECT_EQ(floating->geometry(), QRect(platform_->Main().mapToGlobal(QPoint(0, 416)), QSize(800, 184)));
  Deliver("float-click 400 32");
  for (int i = 0; i < 20; ++i) form_->IdleEvent();
  EXPECT_EQ(Message(), u"一つ目");
  Deliver("float-click 400 33");
  EXPECT_TRUE(RunUntil([&] { return Message() == u"二つ目"; }));
}

}  // namespace
}  // namespace mokuren::testing
