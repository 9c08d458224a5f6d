// A game whose script shows messages and choices in a window that can be told apart on the frame, so the
// text tasks can be driven pass by pass on the virtual clock.
#pragma once

#include <map>
#include <string>

#include "support/engine_fixture.h"
#include "support/game_builder.h"

namespace mokuren::testing {

class TextFixture : public EngineFixture {
 protected:
  // The system pictures the text tasks draw with: a dark, opaque window frame, a magenta system sheet
  // (the waiting icon's key colour) and on-screen buttons that draw nothing; a test may replace or add
  // entries before Start.
  std::map<int, std::string> pictures_ = [] {
    std::map<int, std::string> p = NeutralSystemPictures();
    for (auto& [entry, png] : p)
      if (entry != 1 && entry < 51) png = SolidPng(64, 20, 0, 0, 0, 0);
    p[1] = SolidPng(800, 184, 0, 0, 64);
    p[51] = SolidPng(800, 600, 255, 0, 255);
    return p;
  }();
  std::vector<std::pair<std::string, std::string>> graphics_;

  // Starts a game whose script 1 allows the popup menu and the skips, then runs `script`; `events` is the
  // events file (settings chosen at time 0 apply before the script's first message). Returns once the
  // first message is being typed or the first choice waits.
  void Start(const std::string& script, const std::string& events = {}) {
    BuildTestGame(dir(), TestGame{{{1, "sysmenu 1\nallowskip 1\n" + script}}, graphics_, pictures_});
    StartEngine(events);
    ASSERT_TRUE(RunUntil([&] { return Task() == task::MessageTyping || Task() == task::SelectWait; }));
  }
  // The settings dialog's controls set and confirmed at time 0, as events: "speed=3 auto=0".
  static std::string Settings(const std::string& fields) {
    return "0 menu menuConfig\n0 config " + fields + "\n0 dialog ok\n";
  }

  // Chooses a popup-menu item as a player does once the menu has been brought up to date for the task on
  // screen (item enabling is refreshed at the start of a pass).
  void Choose(MenuItem item) {
    Passes(1);
    ASSERT_TRUE(platform().MenuEnabled(item));
    Menu(item);
  }

  // Runs passes while the task is `code`, at most `limit`; returns the number run.
  int PassesWhile(int32_t code, int limit = 5000) {
    int n = 0;
    while (Task() == code && n < limit) {
      Passes(1);
      ++n;
    }
    return n;
  }
  // Runs passes until the next composed frame.
  void NextFrame() {
    const int64_t frames = FrameCount();
    while (FrameCount() == frames) Passes(1);
  }
};

}  // namespace mokuren::testing
