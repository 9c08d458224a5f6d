// The floating message window on the real program, headless: chosen from the popup menu, it takes the
// message window and the button row off the main frame, and a click below its drag band passes the
// message.
#include <gtest/gtest.h>

#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "support/screenshot_file.h"

namespace mokuren::testing {
namespace {

TEST(FloatWindowScenario, TakesTheMessageWindowAndPassesTheMessageOnAClickBelowItsTop) {
  TempDir dir;
  TestGame game;
  game.scripts[1] = "sysmenu 1\nbg \"BG\"\nshow\nmsg \"一つ目\"\nmsg \"二つ目\"\nwait click\n";
  game.graphics = {{"BG", SolidPng(800, 600, 40, 80, 120)}};
  game.sysgrp[1] = SolidPng(800, 184, 0, 96, 0);   // the message window's frame
  game.sysgrp[51] = SolidPng(800, 600, 0, 0, 64);  // the system sheet, under the floating window too
  game.sysgrp[13] = SolidPng(64, 20, 255, 0, 0);   // button 3
  BuildTestGame(dir.path(), game);
  const auto file = [&](const char* name) { return (dir.path() / name).string(); };
  WriteFile(file("events.txt"),
            "1500 menu menuFloat\n"
            "1600 screenshot " +
                file("main.png") +
                "\n"
                "1600 screenshot-float " +
                file("float.png") +
                "\n"
                "1700 float-click 400 32\n"
                "1800 debug MSG " +
                file("before.txt") +
                "\n"
                "1900 float-click 400 33\n"
                "2000 debug MSG " +
                file("after.txt") + "\n");
  ASSERT_EQ(RunProgram(dir.path().string() + " --headless --max-ms 2100 --events " + file("events.txt")), 0);

  // The main frame's message area shows the scene only.
  const TABitmap main = LoadScreenshot(file("main.png"));
  ASSERT_EQ(main.Height(), 600);
  int notScene = 0;
  for (int y = 416; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      const uint8_t* p = main.ScanLine(y) + 4 * x;
      notScene += !(p[2] == 40 && p[1] == 80 && p[0] == 120);
    }
  EXPECT_EQ(notScene, 0);
  // The floating window has the text on its background and the button row at y 164.
  const TABitmap floating = LoadScreenshot(file("float.png"));
  ASSERT_EQ(floating.Height(), 184);
  auto red = [&](int x, int y) { return floating.ScanLine(y)[4 * x + 2]; };
  int ink = 0;
  for (int y = 50; y < 90; ++y)
    for (int x = 32; x < 32 + 3 * 28; ++x) ink += red(x, y) > 200;
  EXPECT_GT(ink, 50);
  EXPECT_EQ(red(288, 163), 0);
  EXPECT_GE(red(288, 164), 250);
  EXPECT_GE(red(351, 183), 250);
  // A press at y 32 moves the window; one at y 33 is a click that passes the message into the log.
  EXPECT_NE(ReadFile(file("before.txt")).find("\n1: []\n"), std::string::npos) << ReadFile(file("before.txt"));
  EXPECT_NE(ReadFile(file("after.txt")).find("\n1:一つ目 []\n2: []\n"), std::string::npos);
}

}  // namespace
}  // namespace mokuren::testing
