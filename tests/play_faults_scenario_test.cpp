// Mistakes of a game that the player would meet as a black picture, silence or a cut sentence: each is a
// line of the error list when the game comes by it, naming the script and step, and only once for its
// place however often the story passes there.
#include <gtest/gtest.h>

#include <string>

#include "support/engine_fixture.h"
#include "support/game_builder.h"

namespace mokuren::testing {
namespace {

class PlayFaults : public EngineFixture {};

TEST_F(PlayFaults, EachIsAnErrorLineNamingItsPlaceOnce) {
  std::string tooLong;  // three lines hold 75 characters: the last 5 are cut
  for (int i = 0; i < 80; ++i) tooLong += "あ";
  TestGame game;
  game.scripts[1] =
      "title\n"
      "*top\n"
      "bg \"BG03\"\n"       // step 2: no such picture
      "layer1 center, 7\n"  // step 3: an entry GRAPHIC.DAT leaves empty
      "show\n"
      "bgm 4, 1\n"                                // step 5: no Sound/M04.ogg
      "se1 5\n"                                   // step 6: no Sound/S05.ogg
      "msg \"ミナ「こんにちは。」\", \"V999\"\n"  // step 7: no VOICE/V999.ogg
      "msg \"" +
      tooLong +
      "\"\n"                     // step 8
      "choice \"ひとつだけ\"\n"  // step 9
      "F1 = F1 + 1\n"
      "if F1 < 2\n"
      "  jump top\n"
      "endif\n"
      "wait click\n";
  game.graphics = {{"BG01", SolidPng(800, 600, 10, 20, 30)}};
  BuildTestGame(dir(), game);
  StartEngine();
  ASSERT_TRUE(RunUntilTask(task::TitleMenu));
  Click(200, 100);
  // Twice round: two messages and the choice each time.
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(RunUntil([&] { return Task() == task::MessageWait || Task() == task::SelectWait; })) << i;
    Click(400, 300);
    Passes(2);
  }
  ASSERT_TRUE(RunUntil([&] { return Var('F', 1) == 2; }));
  Passes(10);
  const std::pair<const char*, const char*> expected[] = {
      {"script 1 step 2: ", "picture \"BG03\" is not in GRAPHIC.DAT's name list; nothing is shown"},
      {"script 1 step 3: ", "GRAPHIC.DAT: entry 7 holds no picture"},
      {"script 1 step 5: ", "Sound/M04.ogg"},
      {"script 1 step 6: ", "Sound/S05.ogg"},
      {"script 1 step 7: ", "VOICE/V999.ogg"},
      {"script 1 step 8: ", "the message runs past the window's three lines; the player never sees \"あああああ\""},
      {"script 1 step 9: ", "a choice of one item (\"ひとつだけ\")"},
  };
  for (const auto& [place, what] : expected) {
    EXPECT_EQ(ErrorsWith(what), 1) << what << "\n" << ::testing::PrintToString(Errors());
    EXPECT_EQ(ErrorsWith(std::string(place) + what), 1) << what << "\n" << ::testing::PrintToString(Errors());
  }
}

}  // namespace
}  // namespace mokuren::testing
