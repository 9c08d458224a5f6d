// The game by the keyboard alone, as a player without a mouse meets it: the first arrow chooses the item
// under the pointer or else the first, later ones move between items (Tab and Shift+Tab through them in
// order), Enter takes the item chosen, and a pointer left resting over an item chooses nothing. The save
// screen turns its pages with PageUp and PageDown, opens a slot's comment with F2 and is left with Escape.
#include <gtest/gtest.h>

#include "base/buttons.h"
#include "base/task_codes.h"
#include "save/TForm7.h"
#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

class Keyboard : public EngineFixture {
 protected:
  void Press(Key key) {
    Tap(key);
    Passes(2);
  }
};

TEST_F(Keyboard, TheTitleAndAChoiceTakeTheItemTheKeysChoseNotTheOneThePointerWasLeftOver) {
  StartScript("cursor 1\nsysmenu 0\ntitle\nchoice \"一,二,三\"\nmsg \"おわり\"\n");
  MoveTo(200, 290);  // over "quit", before the title opens
  ASSERT_TRUE(RunUntilTask(task::TitleMenu));
  Press(Key::Enter);
  EXPECT_EQ(Task(), task::TitleMenu) << "Enter took the item the pointer was left over";
  EXPECT_EQ(TitleHovered(), 0);
  Press(Key::Up);
  EXPECT_EQ(TitleHovered(), 5) << "the first arrow chooses the item under the pointer";
  for (int i = 0; i < 4; ++i) Press(Key::Up);
  EXPECT_EQ(TitleHovered(), 1);
  MoveTo(700, 10);  // off the items: the pointer moved onto nothing chooses nothing
  Passes(1);
  EXPECT_EQ(TitleHovered(), 0);
  Press(Key::Down);
  Press(Key::Enter);
  ASSERT_TRUE(RunUntilTask(task::SelectWait));

  Passes(1);
  EXPECT_EQ(ChoiceHovered(), 0);
  Press(Key::Enter);
  EXPECT_EQ(Task(), task::SelectWait);
  Press(Key::Down);
  EXPECT_EQ(ChoiceHovered(), 1);
  Press(Key::Down);
  Press(Key::Tab);
  EXPECT_EQ(ChoiceHovered(), 3);
  Press(Key::Backtab);
  Press(Key::Enter);
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  EXPECT_EQ(Var('W', 1), 2);
}

// The button row along the message: the arrows choose a button, Enter presses it and leaves the row, so
// the next Enter passes the message; Down leaves the row without pressing.
TEST_F(Keyboard, TheButtonRowIsReachedWithTheArrowsAndLeftByEnter) {
  // A new game from the title, where saving is allowed.
  StartScript("cursor 1\nsysmenu 0\ntitle\nsysmenu 1\nmsg \"一つ目\"\nmsg \"二つ目\"\n");
  ASSERT_TRUE(RunUntilTask(task::TitleMenu));
  Press(Key::Down);
  Press(Key::Enter);
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Passes(2);
  Press(Key::Right);
  EXPECT_EQ(ButtonLook(button::MusicVariant), button_state::Hover);
  Press(Key::Right);  // the voice button is disabled: passed over
  EXPECT_EQ(ButtonLook(button::QuickSave), button_state::Hover);
  Press(Key::Enter);
  EXPECT_EQ(Notice(), u"クイックセーブしました");
  EXPECT_NE(SavedGame(100).Used, 0);
  EXPECT_EQ(MessageShown(), u"一つ目");
  EXPECT_EQ(ButtonLook(button::QuickSave), button_state::Normal);
  Press(Key::Left);  // back to the button pressed last
  EXPECT_EQ(ButtonLook(button::QuickSave), button_state::Hover);
  Press(Key::Down);
  EXPECT_EQ(ButtonLook(button::QuickSave), button_state::Normal);
  RunMs(200);
  Press(Key::Enter);
  EXPECT_TRUE(RunUntil([&] { return MessageShown() == u"二つ目"; }));
}

// The save screen is modal: it is played from the events file, as a player's keys come while it is up.
TEST_F(Keyboard, TheSaveScreenSavesLoadsTurnsPagesAndOpensACommentWithKeys) {
  BuildTestGame(
      dir(),
      TestGame{{{1, "cursor 1\nsysmenu 0\ntitle\nsysmenu 1\nmsg \"一つ目\"\nF1 = 7\nmsg \"二つ目\"\n"}}, {}, {}});
  const std::string comment = (dir() / "comment.txt").string();
  StartEngine(
      "0 wait title\n+100 key Down\n+100 key Enter\n0 wait message\n+100 menu menuSave\n"
      "+100 key Down\n+100 key Down\n+100 key PageDown\n+100 key Enter\n"  // slot 12 of page 2
      "+100 key F2\n+100 dialog-text " +
      comment +
      "\n+100 dialog cancel\n+100 key Tab\n+100 key Escape\n"
      "+300 key Enter\n0 wait message\n+100 menu menuLoad\n"
      "+100 key Down\n+100 key Enter\n"  // slot 11 is empty: nothing is loaded
      "+100 key Down\n+100 key Enter\n");
  RunMs(4000);
  EXPECT_NE(SavedGame(12).Used, 0);
  EXPECT_EQ(SavedGame(2).Used, 0);
  EXPECT_EQ(ReadFile(comment).substr(0, 13), "コメント\n");
  EXPECT_FALSE(SaveLoadMode());
  EXPECT_EQ(MessageShown(), u"一つ目");
  EXPECT_EQ(Var('F', 1), 0);
}

}  // namespace
}  // namespace mokuren::testing
